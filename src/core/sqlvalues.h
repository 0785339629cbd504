#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

// How dates and date-times are stored: ISO text, Null for no value.
namespace SqlValue {
QVariant date(const QDate& d);         // 'YYYY-MM-DD' or Null
QVariant dateTime(const QDateTime& t); // 'YYYY-MM-DD HH:MM:SS' or Null
QDate toDate(const QVariant& v);       // invalid for Null or bad text
QDateTime toDateTime(const QVariant& v);
QString dateTimeText(const QDateTime& t); // the stored text form
} // namespace SqlValue
