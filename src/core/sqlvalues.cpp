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
    return QDate::fromString(v.toString().left(10), kDateFormat);
}

QDateTime toDateTime(const QVariant& v) {
    if (v.isNull())
        return {};
    return QDateTime::fromString(v.toString(), kDateTimeFormat);
}

} // namespace SqlValue
