#pragma once

#include <QDate>
#include <QDateTime>

// The program's only source of "today" and "now". Tests fix it so that slip
// numbers, time stamps and date filters are repeatable.
namespace Clock {
QDateTime now(); // local time, whole seconds
QDate today();
void setFixed(const QDateTime& fixed); // an invalid value returns to the system clock
void useSystemClock();
bool isFixed(); // true while a test holds the clock still
} // namespace Clock
