#include "core/clock.h"

namespace {
QDateTime g_fixed;
}

namespace Clock {

QDateTime now() {
    QDateTime t = g_fixed.isValid() ? g_fixed : QDateTime::currentDateTime();
    QTime time = t.time();
    t.setTime(QTime(time.hour(), time.minute(), time.second()));
    return t;
}

QDate today() {
    return now().date();
}

void setFixed(const QDateTime& fixed) {
    g_fixed = fixed;
}

void useSystemClock() {
    g_fixed = QDateTime();
}

bool isFixed() {
    return g_fixed.isValid();
}

} // namespace Clock
