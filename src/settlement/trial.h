#pragma once

#include "core/listcolumns.h"
#include "core/money.h"
#include "settlement/settlementcriteria.h"

#include <QList>
#include <QString>

// One row of the trial list: a slip as a settlement would pay it.
struct TrialRow {
    QString slipNumber;
    QString workerCode;
    QString workerName;
    QString drawingNumber;
    QString workCode;
    QString workItem;
    UnitPrice price; // in force on the request date, 0 when none
    qint64 quantity = 0;
    Yen amount = 0;        // round(price × quantity), halves to even: what is paid
    bool unpriced = false; // no price in force: a settlement would ask before paying 0
    // The list's cells: "###,###,##0.000", "###,##0", "###,###,###,##0".
    QString priceText;
    QString quantityText;
    QString amountText;
};

// The trial list's columns: the slip number as the hidden key, then the
// row's fields in order.
const ListDefinition& trialListDefinition();

struct TrialResult {
    QList<TrialRow> rows; // by home-worker, request date, drawing number, work code
    qint64 pricesChanged = 0;
};

// What a settlement with these criteria would pay, slip by slip. Writes
// nothing but the slips' refreshed 精算単価, in one transaction; a failure
// (a slip without a request date, a failed lookup, an unpayable stored
// value) rolls those back too and throws AppError naming the slip, as the
// settlement would.
TrialResult RunTrial(const SettlementCriteria& criteria, const SettlementProgress& progress = {});

// Appends to `list` one line per slip of the selection that is already
// settled: "001　:" + slip number + "\r", numbered from 001 in the
// selection's order. Returns whether there was any; with none the list is
// left as it was.
bool ListSettledSlips(const SettlementCriteria& criteria, QString& list);
