#pragma once

#include "core/numberformat.h"

#include <QString>
#include <QtGlobal>
#include <compare>

// Whole yen: amounts, taxes and totals.
using Yen = qint64;

// Integer division rounded to the nearest whole number, an exact half going
// to the even neighbour (5/2 is 2, 7/2 is 4) or away from zero (5/2 is 3,
// -5/2 is -3). The denominator must be positive. Throw AppError when the
// result does not fit a qint64.
qint64 roundHalfEven(__int128 numerator, qint64 denominator);
qint64 roundHalfAway(__int128 numerator, qint64 denominator);

// A unit price in fixed point: ten-thousandths of a yen. The database keeps
// four decimals as REAL; screens show three.
class UnitPrice {
  public:
    static constexpr qint64 Scale = 10000;

    constexpr UnitPrice() = default;
    static constexpr UnitPrice fromTenThousandths(qint64 value) { return UnitPrice(value); }
    // From the database REAL, rounded to the nearest ten-thousandth. Throws
    // AppError for a value that is not a finite price.
    static UnitPrice fromDb(double value);
    // From box or list text such as "1,234.567" (thousands separators
    // accepted, blank is 0), rounded half away from zero to four decimals.
    // Throws AppError when the number is too large for a price.
    static UnitPrice parse(const QString& text);

    constexpr qint64 tenThousandths() const { return m_value; }
    double toDb() const { return static_cast<double>(m_value) / Scale; }
    Decimal toDecimal() const { return Decimal::fromScaled(m_value, 4); }
    // Three decimals, half away from zero: "###,###,##0.000" unless told.
    QString text(const QString& pattern = NumberPattern::PriceList) const;

    constexpr bool isZero() const { return m_value == 0; }
    friend constexpr auto operator<=>(UnitPrice, UnitPrice) = default;

  private:
    constexpr explicit UnitPrice(qint64 value) : m_value(value) {}
    qint64 m_value = 0;
};

// A quantity from box or list text ("1,234" is 1234, blank is 0), rounded
// half away from zero as a whole-number box shows it. Throws AppError when
// it does not fit a qint64.
qint64 parseQuantity(const QString& text);

// What one slip pays: round(price × quantity) and round(price × quantity ×
// percent / 100), halves to the even neighbour, computed exactly.
Yen amountOf(UnitPrice price, qint64 quantity);
Yen taxOf(UnitPrice price, qint64 quantity, int percent);
// round(amount × percent / 100), halves to even: the tax of a sum of amounts.
Yen taxOfAmount(Yen amount, int percent);
// price × quantity as a display format shows it, halves away from zero (the
// trial list and the slip screen show the unrounded product).
Yen shownAmountOf(UnitPrice price, qint64 quantity);
