#pragma once

#include "core/money.h"

#include <QString>

// Which figure of a settlement is counted out in cash and named on the
// receipt. The total with consumption tax is what the run owes; an office
// that pays without tax says [Print] PayAmount=amount.
enum class PaidFigure { Total, Amount };

// [Print] PayAmount of TVL.INI: "amount" (any case) pays the amount before
// tax, anything else (or nothing) the total.
PaidFigure configuredPaidFigure();
PaidFigure paidFigureOf(const QString& setting);

// The figures of one home-worker's settlement as stored in seisan_t.
struct SettledFigures {
    Yen amount = 0; // 精算金額
    Yen tax = 0;    // 消費税
    Yen total = 0;  // 合計金額
    Yen paid(PaidFigure figure) const { return figure == PaidFigure::Amount ? amount : total; }
};
