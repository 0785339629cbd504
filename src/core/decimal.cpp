#include "core/decimal.h"

#include "core/apperror.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Adds one unit in the last place of a digit string; "999" becomes "1000".
std::string incremented(std::string digits) {
    for (auto i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return digits;
        }
        digits[i] = '0';
    }
    return '1' + digits;
}

} // namespace

void Decimal::normalise() {
    const auto firstNonZero = m_whole.find_first_not_of('0');
    m_whole.erase(0, firstNonZero == std::string::npos ? m_whole.size() : firstNonZero);
    const auto lastNonZero = m_fraction.find_last_not_of('0');
    m_fraction.erase(lastNonZero == std::string::npos ? 0 : lastNonZero + 1);
    if (isZero())
        m_negative = false;
}

// `digits` with the decimal point after the first `wholeCount` of them
// (which may be negative or beyond the end).
Decimal Decimal::fromParts(bool negative, std::string digits, qint64 wholeCount) {
    Decimal d;
    d.m_negative = negative;
    const auto size = static_cast<qint64>(digits.size());
    if (wholeCount <= 0) {
        d.m_fraction = std::string(static_cast<size_t>(-wholeCount), '0') + digits;
    } else if (wholeCount >= size) {
        d.m_whole = digits + std::string(static_cast<size_t>(wholeCount - size), '0');
    } else {
        d.m_whole = digits.substr(0, static_cast<size_t>(wholeCount));
        d.m_fraction = digits.substr(static_cast<size_t>(wholeCount));
    }
    d.normalise();
    return d;
}

Decimal Decimal::fromInteger(qint64 value) {
    return fromScaled(value, 0);
}

Decimal Decimal::fromScaled(qint64 mantissa, int scale) {
    const bool negative = mantissa < 0;
    // The magnitude as unsigned so that the smallest qint64 has one too.
    const quint64 magnitude =
        negative ? quint64(0) - static_cast<quint64>(mantissa) : static_cast<quint64>(mantissa);
    std::string digits = std::to_string(magnitude);
    return fromParts(negative, digits, static_cast<qint64>(digits.size()) - scale);
}

Decimal Decimal::fromDouble(double value) {
    if (!std::isfinite(value))
        throw AppError(QStringLiteral("数値が正しくありません。"));
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string text(buffer, result.ptr);

    // Shortest form: "-12.5", "1e+20", "5e-04" or "1.25e-07".
    size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++pos;
    std::string digits;
    qint64 wholeCount = -1;
    for (; pos < text.size() && text[pos] != 'e'; ++pos) {
        if (text[pos] == '.')
            wholeCount = static_cast<qint64>(digits.size());
        else
            digits += text[pos];
    }
    if (wholeCount < 0)
        wholeCount = static_cast<qint64>(digits.size());
    if (pos < text.size())
        wholeCount += std::stoll(text.substr(pos + 1));
    return fromParts(negative, digits, wholeCount);
}

Decimal Decimal::readVal(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isBlank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
               c == QLatin1Char('\r');
    };
    while (i < n && isBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    std::string digits;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (isDigit(c))
            digits += static_cast<char>(c.unicode());
        else if (c != QLatin1Char(',') || digits.empty())
            break;
    }
    const auto wholeCount = static_cast<qint64>(digits.size());
    if (i < n && text.at(i) == QLatin1Char('.')) {
        for (++i; i < n && isDigit(text.at(i)); ++i)
            digits += static_cast<char>(text.at(i).unicode());
    }
    return fromParts(negative, digits, wholeCount);
}

Decimal Decimal::roundedHalfAway(int places) const {
    if (places < 0 || m_fraction.size() <= static_cast<size_t>(places))
        return *this;
    const auto kept = static_cast<size_t>(places);
    std::string digits = m_whole + m_fraction.substr(0, kept);
    if (m_fraction[kept] >= '5')
        digits = incremented(digits);
    return fromParts(m_negative, digits, static_cast<qint64>(digits.size()) - places);
}

std::optional<qint64> Decimal::toScaled(int scale) const {
    if (scale < 0)
        return std::nullopt;
    const Decimal r = roundedHalfAway(scale);
    std::string digits = r.m_whole + r.m_fraction;
    digits += std::string(static_cast<size_t>(scale) - r.m_fraction.size(), '0');
    quint64 magnitude = 0;
    const auto first = digits.data();
    const auto last = digits.data() + digits.size();
    if (!digits.empty()) {
        const auto parsed = std::from_chars(first, last, magnitude);
        if (parsed.ec != std::errc() || parsed.ptr != last)
            return std::nullopt;
    }
    const quint64 limit =
        static_cast<quint64>(std::numeric_limits<qint64>::max()) + (r.m_negative ? 1 : 0);
    if (magnitude > limit)
        return std::nullopt;
    if (!r.m_negative)
        return static_cast<qint64>(magnitude);
    return static_cast<qint64>(quint64(0) - magnitude);
}

QString Decimal::toText() const {
    std::string text = m_negative ? "-" : "";
    text += m_whole.empty() ? "0" : m_whole;
    if (!m_fraction.empty())
        text += '.' + m_fraction;
    return QString::fromStdString(text);
}
