#pragma once

#include "core/decimal.h"

#include <QString>
#include <concepts>

// The number formats shown on screens, lists and work tables. A pattern is
// made of "#" (optional digit), "0" (required digit), "," (group thousands)
// and "." (decimal point); values with more decimals than the pattern shows
// are rounded half away from zero (12.5 shows 13), and negative values carry
// a leading "-". The grouped patterns differ only in their decimals: "#"
// places never limit how many digits are shown.
namespace NumberPattern {
inline const QString Whole = QStringLiteral("#,##0");                // whole-number boxes
inline const QString PriceBox = QStringLiteral("#,##0.000");         // unit price boxes
inline const QString PriceList = QStringLiteral("###,###,##0.000");  // unit prices in lists
inline const QString QuantityList = QStringLiteral("###,###,##0");   // quantities, amounts
inline const QString SlipAmount = QStringLiteral("##,###,###,##0");  // amount on the slip screen
inline const QString SlipTotal = QStringLiteral("#,###,###,##0");    // amount of a loaded slip
inline const QString Count = QStringLiteral("###,##0");              // counts, quantities
inline const QString AmountList = QStringLiteral("###,###,###,##0"); // amounts, totals
inline const QString Subtotal = QStringLiteral("#,###,##0");         // report subtotals
inline const QString Sequence = QStringLiteral("000");               // slip and line numbers
} // namespace NumberPattern

QString formatNumber(const Decimal& value, const QString& pattern);
QString formatNumber(double value, const QString& pattern); // exact shortest decimal of value
// mantissa × 10^-scale, the same text as the Decimal form, in integer
// arithmetic: lists format tens of thousands of prices and amounts.
QString formatScaled(qint64 mantissa, int scale, const QString& pattern);
template <std::integral T> QString formatNumber(T value, const QString& pattern) {
    return formatScaled(static_cast<qint64>(value), 0, pattern);
}

// The "0000/00/00" format: the text read as a whole number (Val) and shown
// as at least eight digits with "/" before the last four and the last two:
// "20030401" gives "2003/04/01".
QString formatDigitDate(const QString& digits);
