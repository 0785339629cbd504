#include "core/money.h"

#include "core/apperror.h"

#include <cmath>
#include <limits>

namespace {

[[noreturn]] void tooLarge() {
    throw AppError(QStringLiteral("金額が大きすぎて計算できません。"));
}

qint64 checked(__int128 value) {
    if (value > std::numeric_limits<qint64>::max() || value < std::numeric_limits<qint64>::min())
        tooLarge();
    return static_cast<qint64>(value);
}

// Quotient truncated towards zero, and twice the remainder's magnitude
// compared with the denominator: <0 below half, 0 exactly half, >0 above.
struct Division {
    __int128 quotient;
    int half;
    bool negative;
};

Division divide(__int128 numerator, qint64 denominator) {
    const __int128 q = numerator / denominator;
    __int128 rem = numerator % denominator;
    if (rem < 0)
        rem = -rem;
    const __int128 twice = rem * 2;
    const int half = twice < denominator ? -1 : (twice == denominator ? 0 : 1);
    return {q, half, numerator < 0};
}

__int128 awayFromZero(const Division& d) {
    return d.negative ? d.quotient - 1 : d.quotient + 1;
}

__int128 product(UnitPrice price, qint64 quantity) {
    return static_cast<__int128>(price.tenThousandths()) * quantity;
}

} // namespace

qint64 roundHalfEven(__int128 numerator, qint64 denominator) {
    const Division d = divide(numerator, denominator);
    if (d.half > 0 || (d.half == 0 && d.quotient % 2 != 0))
        return checked(awayFromZero(d));
    return checked(d.quotient);
}

qint64 roundHalfAway(__int128 numerator, qint64 denominator) {
    const Division d = divide(numerator, denominator);
    return checked(d.half >= 0 ? awayFromZero(d) : d.quotient);
}

UnitPrice UnitPrice::fromDb(double value) {
    const double scaled = value * Scale;
    // 2^63 is the first double beyond qint64.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2233720368547758e18)
        throw AppError(QStringLiteral("単価の値が正しくありません。"));
    return UnitPrice(std::llround(scaled));
}

UnitPrice UnitPrice::parse(const QString& text) {
    const auto value = Decimal::readVal(text).toScaled(4);
    if (!value)
        throw AppError(QStringLiteral("単価が大きすぎます。"));
    return UnitPrice(*value);
}

qint64 parseQuantity(const QString& text) {
    const auto value = Decimal::readVal(text).toScaled(0);
    if (!value)
        throw AppError(QStringLiteral("数量が大きすぎます。"));
    return *value;
}

QString UnitPrice::text(const QString& pattern) const {
    return formatScaled(m_value, 4, pattern);
}

Yen amountOf(UnitPrice price, qint64 quantity) {
    return roundHalfEven(product(price, quantity), UnitPrice::Scale);
}

Yen taxOf(UnitPrice price, qint64 quantity, int percent) {
    return roundHalfEven(product(price, quantity) * percent, UnitPrice::Scale * 100);
}

Yen taxOfAmount(Yen amount, int percent) {
    return roundHalfEven(static_cast<__int128>(amount) * percent, 100);
}

Yen shownAmountOf(UnitPrice price, qint64 quantity) {
    return roundHalfAway(product(price, quantity), UnitPrice::Scale);
}
