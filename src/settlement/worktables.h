#pragma once

#include "core/decimal.h"
#include "core/money.h"
#include "settlement/settlementcriteria.h"
#include "settlement/settlementlist.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One line of the settlement statement: a paid slip (a wk_PersonA row).
struct StatementLine {
    QDateTime run; // 精算日時, also written as 精算日
    QString workerCode;
    QString workerName;
    QDate requestDate;
    QString drawingNumber;
    QString workCode;
    QString workItem;
    UnitPrice price;     // the slip's 精算単価
    qint64 quantity = 0; // 納入数量 (written as 払出数)
    Yen amount = 0;      // round(price × quantity), halves to even
    // The texts the work table holds: "###,###,##0.000", "###,##0", "###,###,##0".
    QString priceText;
    QString quantityText;
    QString amountText;
};

// One line of the list by drawing-number class (a wk_PnoAccount row).
struct PnoLine {
    QDate settlementDate;
    QString drawingClass;            // first three characters of the drawing number
    qint64 amountTenThousandths = 0; // Σ price × quantity, unrounded
    qint64 quantity = 0;             // Σ 納入数量
    Decimal amount() const { return Decimal::fromScaled(amountTenThousandths, 4); }
};

// Each fill picks the run the designation names (findSettlementRun), then
// empties its work table and refills it with that run, in one transaction,
// and returns the rows it wrote, so that a report prints exactly them even
// when another copy fills the table next. Nothing is found: no run is
// returned and the table is left as it was. A failure rolls the table back
// and throws AppError.

// wk_PersonA: every live slip of the run's live rows, by home-worker,
// request date, drawing number and work code.
std::optional<QList<StatementLine>> FillStatementTable(const RunDesignation& designation,
                                                       const SettlementProgress& progress = {});

// wk_PnoAccount: the run's live slips summed per drawing-number class, in
// class order.
std::optional<QList<PnoLine>> FillPnoTable(const RunDesignation& designation,
                                           const SettlementProgress& progress = {});
