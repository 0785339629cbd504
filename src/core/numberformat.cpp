#include "core/numberformat.h"

namespace {

struct Pattern {
    int minWholeDigits = 0;
    bool grouped = false;
    int minDecimals = 0;
    int maxDecimals = 0;
};

Pattern parsePattern(const QString& text) {
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

QString FormatNumber(const Decimal& value, const QString& pattern) {
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

QString FormatNumber(double value, const QString& pattern) {
    return FormatNumber(Decimal::fromDouble(value), pattern);
}

QString FormatDigitDate(const QString& digits) {
    const Decimal number = Decimal::readVal(digits).roundedHalfAway(0);
    std::string d = number.wholeDigits();
    if (d.size() < 8)
        d.insert(0, 8 - d.size(), '0');
    const auto n = d.size();
    const QString text = QString::fromStdString(d.substr(0, n - 4) + '/' + d.substr(n - 4, 2) +
                                                '/' + d.substr(n - 2));
    return number.isNegative() ? QLatin1Char('-') + text : text;
}
