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
    std::optional<UnitPrice> storedPrice; // 精算単価; none when Null
    qint64 quantity = 0;                  // 納入数量
};

// Every row of a ToSettle or ToTry selection; texts trimmed of trailing
// blanks except the slip number. Throws DbError.
QList<SelectedSlip> readSelection(const BoundSql& query);

// The price in force on the slip's request date as the price lists show it
// (three decimals), 0 when there is none. A slip without a request date, or
// a lookup that fails, throws AppError naming the slip: no slip is ever
// paid at a price that could not be found.
UnitPrice priceInForce(const SelectedSlip& slip);

// Whether the stored price must be replaced so that it equals `price`.
bool storedPriceDiffers(const SelectedSlip& slip, UnitPrice price);

// a + b, throwing AppError instead of overflowing.
qint64 checkedAdd(qint64 a, qint64 b);
