#include "importer/importvalues.h"

#include "core/bytetext.h"
#include "core/decimal.h"
#include "core/money.h"
#include "core/sqlvalues.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

using ImportValue::Result;
using OldTables::Kind;

Result refused(const QString& why) {
    return {QVariant(), why};
}

// Jet reads a two-digit year 00-29 as 20xx and 30-99 as 19xx.
int fullYear(const QString& digits) {
    const int y = digits.toInt();
    if (digits.size() > 2)
        return y;
    return y < 30 ? 2000 + y : 1900 + y;
}

// Every form the old data comes in: ISO (what mdb-export writes when told),
// Access's Japanese export (2003/10/31 0:00:00, 2003年10月31日) and Jet's
// own month-first form (10/31/03 00:00:00, 12-hour with AM/PM too).
QDateTime readDateTime(const QString& text) {
    static const QRegularExpression yearFirst(QStringLiteral(
        R"(^(\d{4})[-/](\d{1,2})[-/](\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2}))?)?$)"));
    static const QRegularExpression kanji(QStringLiteral(
        R"(^(\d{4})年(\d{1,2})月(\d{1,2})日(?:\s*(\d{1,2})時(\d{1,2})分(?:(\d{1,2})秒)?)?$)"));
    static const QRegularExpression monthFirst(QStringLiteral(
        R"(^(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})(?: (\d{1,2}):(\d{2})(?::(\d{2}))?(?: ?([AaPp][Mm]))?)?$)"));
    int y = 0, m = 0, d = 0;
    QRegularExpressionMatch match;
    if ((match = yearFirst.match(text)).hasMatch() || (match = kanji.match(text)).hasMatch()) {
        y = match.captured(1).toInt();
        m = match.captured(2).toInt();
        d = match.captured(3).toInt();
    } else if ((match = monthFirst.match(text)).hasMatch()) {
        m = match.captured(1).toInt();
        d = match.captured(2).toInt();
        y = fullYear(match.captured(3));
    } else {
        return {};
    }
    int hour = match.captured(4).toInt();
    const QString half = match.lastCapturedIndex() >= 7 ? match.captured(7).toUpper() : QString();
    if (!half.isEmpty()) {
        if (hour < 1 || hour > 12)
            return {};
        hour = hour % 12 + (half == QLatin1String("PM") ? 12 : 0);
    }
    const QDate date(y, m, d);
    const QTime time(hour, match.captured(5).toInt(), match.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

// Strict reading: a sign, a currency sign as Access's export writes Currency
// (\1,234), digits with or without thousands separators, a fraction and an
// exponent as a Double may be written. Anything else is not a number.
std::optional<Decimal> readNumber(const QString& text) {
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
    const std::optional<qint64> v = d->toScaled(4);
    if (!v || *v > qint64(1) << 52 || *v < -(qint64(1) << 52))
        return refused(QStringLiteral("単価が大きすぎます"));
    return {QVariant(UnitPrice::fromTenThousandths(*v).toDb()), {}};
}

Result flag(const QString& raw) {
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
    case Kind::DateTime: {
        const QString t = raw.trimmed();
        if (t.isEmpty())
            return {}; // a blank date is no date, as the date boxes read it
        const QDateTime dt = readDateTime(t);
        if (!dt.isValid())
            return refused(QStringLiteral("日付として読めません"));
        if (kind == Kind::DateTime)
            return {QVariant(SqlValue::dateTimeText(dt)), {}};
        if (dt.time() != QTime(0, 0))
            return refused(QStringLiteral("日付の列に時刻が入っています"));
        return {SqlValue::date(dt.date()), {}};
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
