#pragma once

#include "core/money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

struct BoundSql;

// One slip of a trial or settlement selection, read before anything is
// written (what an open SELECT sees of rows changed under it is undefined).
struct SelectedSlip {
    QString number; // 製品伝票番号 as stored: the key the writes use
    QString workerCode;
    QString workerName;
    QString drawingNumber;
    QString workCode;
    QString workItem;
    QDate requestDate;                    // invalid when the slip has none
    QDate deliveryDate;                   // 納入日: the day its tax rate is taken
    std::optional<UnitPrice> storedPrice; // 精算単価; none when Null
    // The price line in force as stored; none when no line is in force.
    std::optional<double> linePrice;
    qint64 quantity = 0; // 納入数量
    // 納入数量 as stored when it is no whole number of 0 or more (Null,
    // text, a fraction, negative); "" when payable.
    QString unpayableQuantity;
};

// Every row of a ToSettle or ToTry selection; texts trimmed of trailing
// blanks except the slip number. Throws DbError.
QList<SelectedSlip> readSelection(const BoundSql& query);

// The price in force on the slip's request date (read with the selection)
// as the price lists show it (three decimals), 0 when there is none (`found`
// false). A slip without a request date, a price that cannot be read or a
// negative price throws AppError naming the slip: no slip is ever paid at a
// price that could not be found.
UnitPrice priceInForce(const SelectedSlip& slip, bool* found = nullptr);

// Throws AppError naming the slip and the value when its stored 納入数量 or
// 精算単価 cannot be paid (imported or hand-edited data).
void checkPayable(const SelectedSlip& slip);

// "001　:" + slip number per line ("\r" after each), as the settled-slips
// list of the settlement screen shows slips.
QString numberedSlipList(const QStringList& slipNumbers);

// Whether the stored price must be replaced so that it equals `price`.
bool storedPriceDiffers(const SelectedSlip& slip, UnitPrice price);

// a + b, throwing AppError instead of overflowing.
qint64 checkedAdd(qint64 a, qint64 b);
