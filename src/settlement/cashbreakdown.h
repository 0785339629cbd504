#pragma once

#include "core/money.h"
#include "settlement/paidfigure.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <array>

constexpr int CashKinds = 9;
using CashCounts = std::array<qint64, CashKinds>;

// Notes and coins, largest first; there is no 2000-yen note.
constexpr std::array<Yen, CashKinds> kCashDenominations = {10000, 5000, 1000, 500, 100,
                                                           50,    10,   5,    1};

// How many of each denomination pay `amount` with the fewest pieces, in the
// order of kCashDenominations. The counts always add back to the amount (a
// negative amount gives negative counts).
CashCounts breakDownCash(Yen amount);

// One home-worker of the cash-denomination table.
struct CashLine {
    QString workerCode;
    QString workerName;
    Yen amount = 0; // what is paid: 合計金額, or 精算金額 when paid without tax
    CashCounts counts{};
};

// The cash table of a run: its live settlement rows in home-worker code
// order, each paid figure broken down. Cancelled rows are left out, so that
// no cash is counted out for a settlement that was taken back; so are the
// home-workers paid by bank transfer. Throws DbError.
QList<CashLine> cashLinesOfRun(const QDateTime& run, PaidFigure figure);
