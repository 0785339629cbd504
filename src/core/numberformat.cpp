#include "core/numberformat.h"

#include <QHash>
#include <algorithm>

namespace {

struct Pattern {
    int minWholeDigits = 0;
    bool grouped = false;
    int minDecimals = 0;
    int maxDecimals = 0;
};

Pattern parsePatternText(const QString& text) {
    Pattern p;
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    p.minWholeDigits = static_cast<int>(whole.count(QLatin1Char('0')));
    p.grouped = whole.contains(QLatin1Char(','));
    if (point >= 0) {
        const QString fraction = text.mid(point + 1);
        p.minDecimals = static_cast<int>(fraction.count(QLatin1Char('0')));
        p.maxDecimals = p.minDecimals + static_cast<int>(fraction.count(QLatin1Char('#')));
    }
    return p;
}

// Lists format tens of thousands of figures with a handful of patterns.
const Pattern& parsePattern(const QString& text) {
    thread_local QHash<QString, Pattern> known;
    auto it = known.constFind(text);
    if (it == known.constEnd())
        it = known.insert(text, parsePatternText(text));
    return *it;
}

QString grouped(const std::string& digits) {
    QString out;
    const auto n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += QLatin1Char(digits[i]);
    }
    return out;
}

} // namespace

QString formatNumber(const Decimal& value, const QString& pattern) {
    const Pattern p = parsePattern(pattern);
    const Decimal r = value.roundedHalfAway(p.maxDecimals);

    std::string whole = r.wholeDigits();
    if (static_cast<int>(whole.size()) < p.minWholeDigits)
        whole.insert(0, static_cast<size_t>(p.minWholeDigits) - whole.size(), '0');
    std::string fraction = r.fractionDigits();
    if (static_cast<int>(fraction.size()) < p.minDecimals)
        fraction.append(static_cast<size_t>(p.minDecimals) - fraction.size(), '0');

    QString text = r.isNegative() ? QStringLiteral("-") : QString();
    text += p.grouped ? grouped(whole) : QString::fromStdString(whole);
    if (!fraction.empty())
        text += QLatin1Char('.') + QString::fromStdString(fraction);
    return text;
}

QString formatScaled(qint64 mantissa, int scale, const QString& pattern) {
    const Pattern& p = parsePattern(pattern);
    // Up to 18 fraction digits keep every power of ten inside an unsigned 64-bit.
    if (scale < 0 || scale > 18 || p.maxDecimals > 18)
        return formatNumber(Decimal::fromScaled(mantissa, scale), pattern);
    const bool negative = mantissa < 0;
    quint64 magnitude = negative ? 0 - quint64(mantissa) : quint64(mantissa);
    int places = scale;
    if (places > p.maxDecimals) {
        quint64 divisor = 1;
        for (int i = p.maxDecimals; i < places; ++i)
            divisor *= 10;
        const quint64 rest = magnitude % divisor;
        magnitude /= divisor;
        if (rest >= divisor - rest) // an exact half goes away from zero
            ++magnitude;
        places = p.maxDecimals;
    }
    // Digits, least significant first, then read back in order.
    char digits[24];
    int count = 0;
    do {
        digits[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count <= places)
        digits[count++] = '0';
    int fractionEnd = 0; // optional decimals drop their trailing zeros
    while (fractionEnd < places - p.minDecimals && digits[fractionEnd] == '0')
        ++fractionEnd;
    const int wholeCount = count - places;
    int shownWhole = qMax(wholeCount, p.minWholeDigits);
    const bool allZero =
        std::all_of(digits + fractionEnd, digits + count, [](char c) { return c == '0'; });
    if (wholeCount == 1 && digits[count - 1] == '0' && p.minWholeDigits == 0)
        shownWhole = 0; // "#" shows no lone zero, as the exact path does

    QString text;
    text.reserve(shownWhole + shownWhole / 3 + places + 3);
    if (negative && !allZero)
        text += QLatin1Char('-');
    for (int i = shownWhole - 1; i >= 0; --i) {
        text += QLatin1Char(i < wholeCount ? digits[places + i] : '0');
        if (p.grouped && i > 0 && i % 3 == 0)
            text += QLatin1Char(',');
    }
    const int padding = qMax(0, p.minDecimals - places); // required zeros beyond the value's own
    if (places > fractionEnd || padding > 0) {
        text += QLatin1Char('.');
        for (int i = places - 1; i >= fractionEnd; --i)
            text += QLatin1Char(digits[i]);
        text += QString(padding, QLatin1Char('0'));
    }
    return text;
}

QString formatNumber(double value, const QString& pattern) {
    return formatNumber(Decimal::fromDouble(value), pattern);
}

QString formatDigitDate(const QString& digits) {
    const Decimal number = Decimal::readVal(digits).roundedHalfAway(0);
    std::string d = number.wholeDigits();
    if (d.size() < 8)
        d.insert(0, 8 - d.size(), '0');
    const auto n = d.size();
    const QString text = QString::fromStdString(d.substr(0, n - 4) + '/' + d.substr(n - 4, 2) +
                                                '/' + d.substr(n - 2));
    return number.isNegative() ? QLatin1Char('-') + text : text;
}
