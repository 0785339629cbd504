#include "importer/importvalues.h"

#include "core/bytetext.h"
#include "core/clock.h"
#include "core/decimal.h"
#include "core/money.h"

#include <QDate>
#include <QRegularExpression>

namespace {

using ImportValue::Result;
using OldTables::Kind;

Result refused(const QString& why) {
    return {QVariant(), why};
}

struct Stamp {
    QDate date;
    int hour = 0, minute = 0, second = 0;
    bool valid() const { return date.isValid() && hour < 24 && minute < 60 && second < 60; }
};

// Digits at `at`, between min and max of them; -1 when there are too few.
int digitsAt(const QString& text, qsizetype& at, int min, int max, int* count = nullptr) {
    int value = 0, n = 0;
    while (at < text.size() && n < max && text.at(at).isDigit() && text.at(at).unicode() < 128) {
        value = value * 10 + (text.at(at).unicode() - '0');
        ++at;
        ++n;
    }
    if (count)
        *count = n;
    return n < min ? -1 : value;
}

bool takeChar(const QString& text, qsizetype& at, char c) {
    if (at < text.size() && text.at(at) == QLatin1Char(c)) {
        ++at;
        return true;
    }
    return false;
}

// The two forms nearly every value comes in, read by hand: year first
// (ISO, Access's 2003/10/31 9:15:00) and Jet's month first (10/31/03
// 18:00:00), 24-hour time optional. Anything else goes to the patterns.
std::optional<Stamp> readCommon(const QString& text) {
    qsizetype at = 0;
    int firstDigits = 0, lastDigits = 0;
    const int a = digitsAt(text, at, 1, 4, &firstDigits);
    if (a < 0 || at >= text.size())
        return std::nullopt;
    const char sep = text.at(at) == QLatin1Char('-') ? '-' : '/';
    if (!takeChar(text, at, sep))
        return std::nullopt;
    const int b = digitsAt(text, at, 1, 2);
    if (b < 0 || !takeChar(text, at, sep))
        return std::nullopt;
    const int c = digitsAt(text, at, 1, 4, &lastDigits);
    if (c < 0)
        return std::nullopt;
    Stamp s;
    if (firstDigits == 4 && lastDigits <= 2)
        s.date = QDate(a, b, c);
    else if (firstDigits <= 2 && sep == '/' && (lastDigits == 2 || lastDigits == 4))
        // Jet reads a two-digit year 00-29 as 20xx and 30-99 as 19xx.
        s.date = QDate(lastDigits == 2 ? (c < 30 ? 2000 + c : 1900 + c) : c, a, b);
    else
        return std::nullopt;
    if (at == text.size())
        return s;
    if (!takeChar(text, at, ' ') && !takeChar(text, at, 'T'))
        return std::nullopt;
    s.hour = digitsAt(text, at, 1, 2);
    if (s.hour < 0 || !takeChar(text, at, ':') || (s.minute = digitsAt(text, at, 2, 2)) < 0)
        return std::nullopt;
    if (takeChar(text, at, ':') && (s.second = digitsAt(text, at, 2, 2)) < 0)
        return std::nullopt;
    return at == text.size() ? std::optional<Stamp>(s) : std::nullopt;
}

// The rarer forms: Access's 2003年10月31日 9時15分00秒 and a 12-hour clock.
std::optional<Stamp> readOther(const QString& text) {
    static const QRegularExpression kanji(QStringLiteral(
        R"(^(\d{4})年(\d{1,2})月(\d{1,2})日(?:\s*(\d{1,2})時(\d{1,2})分(?:(\d{1,2})秒)?)?$)"));
    static const QRegularExpression twelveHour(
        QStringLiteral(R"(^(.+) (\d{1,2}):(\d{2})(?::(\d{2}))? ?([AaPp][Mm])$)"));
    QRegularExpressionMatch m = kanji.match(text);
    if (m.hasMatch()) {
        Stamp s;
        s.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        s.hour = m.captured(4).toInt();
        s.minute = m.captured(5).toInt();
        s.second = m.captured(6).toInt();
        return s;
    }
    m = twelveHour.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    std::optional<Stamp> s = readCommon(m.captured(1));
    const int hour = m.captured(2).toInt();
    if (!s || s->hour != 0 || hour < 1 || hour > 12)
        return std::nullopt;
    s->hour = hour % 12 + (m.captured(5).toUpper() == QLatin1String("PM") ? 12 : 0);
    s->minute = m.captured(3).toInt();
    s->second = m.captured(4).toInt();
    return s;
}

void appendPadded(char*& out, int value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = char('0' + value % 10);
    out += width;
}

QString stored(const Stamp& s, bool withTime) {
    char buf[20];
    char* out = buf;
    appendPadded(out, s.date.year(), 4);
    *out++ = '-';
    appendPadded(out, s.date.month(), 2);
    *out++ = '-';
    appendPadded(out, s.date.day(), 2);
    if (withTime) {
        *out++ = ' ';
        appendPadded(out, s.hour, 2);
        *out++ = ':';
        appendPadded(out, s.minute, 2);
        *out++ = ':';
        appendPadded(out, s.second, 2);
    }
    return QString::fromLatin1(buf, out - buf);
}

// -123.45, as mdb-export writes numbers: needs no pattern.
bool isPlainNumber(const QString& text) {
    qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype digitsFrom = i;
    while (i < text.size() && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9')
        ++i;
    if (i == digitsFrom)
        return false;
    if (i < text.size() && text.at(i) == QLatin1Char('.'))
        ++i;
    while (i < text.size() && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9')
        ++i;
    return i == text.size();
}

// Strict reading: a sign, a currency sign as Access's export writes Currency
// (\1,234), digits with or without thousands separators, a fraction and an
// exponent as a Double may be written. Anything else is not a number.
std::optional<Decimal> readNumber(const QString& text) {
    if (isPlainNumber(text))
        return Decimal::readVal(text);
    static const QRegularExpression number(QStringLiteral(
        R"(^([+-]?)[\\¥￥$]?([+-]?)(\d{1,3}(?:,\d{3})+|\d*)(?:\.(\d*))?(?:[eE]([+-]?\d+))?$)"));
    const QRegularExpressionMatch m = number.match(text.trimmed());
    if (!m.hasMatch() || (m.captured(3).isEmpty() && m.captured(4).isEmpty()))
        return std::nullopt;
    const bool negative =
        m.captured(1) == QLatin1String("-") || m.captured(2) == QLatin1String("-");
    QString plain = m.captured(3).remove(QLatin1Char(',')) + QLatin1Char('.') + m.captured(4);
    if (negative)
        plain.prepend(QLatin1Char('-'));
    if (m.captured(5).isEmpty())
        return Decimal::readVal(plain);
    bool ok = false;
    const double value = QStringLiteral("%1e%2").arg(plain, m.captured(5)).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return Decimal::fromDouble(value);
}

// A Double column carries binary leftovers (12.345000000000001,
// 12.344999999999999); six or more zeros or nines after the fourth decimal
// are such a leftover. Other digits there are a real fifth decimal.
bool isBinaryLeftover(const std::string& beyondFourth) {
    if (beyondFourth.size() < 6)
        return false;
    const char first = beyondFourth.front();
    if (first != '0' && first != '9')
        return false;
    return beyondFourth.find_first_not_of(first) >= 6;
}

Result whole(const QString& raw, bool quantity) {
    const std::optional<Decimal> d = readNumber(raw);
    if (!d)
        return refused(QStringLiteral("数値として読めません"));
    if (!d->fractionDigits().empty())
        return refused(QStringLiteral("整数ではありません"));
    if (quantity && d->isNegative())
        return refused(QStringLiteral("数量が負です"));
    const std::optional<qint64> v = d->toScaled(0);
    if (!v)
        return refused(QStringLiteral("数値が大きすぎます"));
    return {QVariant(*v), {}};
}

Result price(const QString& raw) {
    std::optional<Decimal> d = readNumber(raw);
    if (!d)
        return refused(QStringLiteral("数値として読めません"));
    const std::string& fraction = d->fractionDigits();
    if (fraction.size() > 4) {
        if (!isBinaryLeftover(fraction.substr(4)))
            return refused(QStringLiteral("単価の小数が4桁を超えています"));
        d = d->roundedHalfAway(4);
    }
    // A server keeps prices as NUMERIC(14,4): ten whole digits at most.
    constexpr qint64 kPriceLimit = 100'000'000'000'000;
    const std::optional<qint64> v = d->toScaled(4);
    if (!v || *v >= kPriceLimit || *v <= -kPriceLimit)
        return refused(QStringLiteral("単価が大きすぎます (整数部は10桁まで)"));
    return {QVariant(UnitPrice::fromTenThousandths(*v).toDb()), {}};
}

Result flag(const QString& raw) {
    if (raw == QLatin1String("0"))
        return {QVariant(0), {}};
    const QString t = raw.trimmed().toLower();
    static const QStringList set = {"1", "-1", "true", "yes", "on", "はい"};
    static const QStringList clear = {"0", "false", "no", "off", "いいえ", ""};
    if (set.contains(t))
        return {QVariant(1), {}};
    if (clear.contains(t))
        return {QVariant(0), {}};
    return refused(
        QStringLiteral("削除フラグとして読めません (0/1、True/False、Yes/No のいずれか)"));
}

} // namespace

namespace ImportValue {

Result convert(Kind kind, const QString& raw) {
    if (kind == Kind::Flag)
        return flag(raw); // Null reads as 0: the column holds no Null here
    if (raw.isNull())
        return {};
    switch (kind) {
    case Kind::Text: {
        const QString t = rtrim(raw);
        return {QVariant(t.isNull() ? QStringLiteral("") : t), {}};
    }
    case Kind::Date:
    case Kind::BirthDate:
    case Kind::DateTime: {
        const QString t = raw.trimmed();
        if (t.isEmpty())
            return {}; // a blank date is no date, as the date boxes read it
        std::optional<Stamp> st = readCommon(t);
        if (!st)
            st = readOther(t);
        if (!st || !st->valid() || st->date.year() < 1000)
            return refused(QStringLiteral("日付として読めません"));
        if (kind != Kind::DateTime && (st->hour || st->minute || st->second))
            return refused(QStringLiteral("日付の列に時刻が入っています"));
        if (kind == Kind::BirthDate && st->date > Clock::today())
            return refused(QStringLiteral("生年月日が今日より後になります (2桁の年は 00～29 を "
                                          "20xx 年、30～99 を 19xx 年と読みます)"));
        return {QVariant(stored(*st, kind == Kind::DateTime)), {}};
    }
    case Kind::Price:
        return price(raw);
    case Kind::Quantity:
    case Kind::Whole:
    case Kind::Yen:
        return whole(raw, kind == Kind::Quantity);
    case Kind::Flag:
        break;
    }
    return {};
}

} // namespace ImportValue
