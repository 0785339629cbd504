#include "core/sqlvalues.h"

namespace {
const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
} // namespace

namespace SqlValue {

QVariant date(const QDate& d) {
    return d.isValid() ? QVariant(d.toString(kDateFormat))
                       : QVariant(QMetaType::fromType<QString>());
}

QVariant dateTime(const QDateTime& t) {
    return t.isValid() ? QVariant(dateTimeText(t)) : QVariant(QMetaType::fromType<QString>());
}

QString dateTimeText(const QDateTime& t) {
    return t.toString(kDateTimeFormat);
}

QDate toDate(const QVariant& v) {
    if (v.isNull())
        return {};
    // Read by hand: lists turn tens of thousands of stored dates back into
    // dates, and the general format parser costs several times more.
    const QString text = v.toString();
    auto digits = [&text](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            const QChar c = text.at(i);
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return -1;
            value = value * 10 + (c.unicode() - '0');
        }
        return value;
    };
    if (text.size() < 10 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-'))
        return {};
    const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day); // invalid for a day that does not exist
}

QDateTime toDateTime(const QVariant& v) {
    if (v.isNull())
        return {};
    return QDateTime::fromString(v.toString(), kDateTimeFormat);
}

} // namespace SqlValue
