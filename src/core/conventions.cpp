#include "core/conventions.h"

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    switch (month) {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return isLeapYear(year) ? 29 : 28;
    default:
        return 31;
    }
}

const QString kDateFormat = QStringLiteral("yyyy/MM/dd");
const QString kDateTimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

} // namespace

int KeyCheck(int mode, QChar key) {
    if (mode < 1 || mode > 5)
        return 1;
    if (key == Backspace || isAsciiDigit(key))
        return 0;
    switch (mode) {
    case 2:
        return key == QLatin1Char('/') ? 0 : 1;
    case 3:
        return key == QLatin1Char(',') ? 0 : 1;
    case 4:
        return key == QLatin1Char(',') || key == QLatin1Char('.') ? 0 : 1;
    case 5:
        return key == QLatin1Char('-') ? 0 : 1;
    default:
        return 1;
    }
}

bool refusedAtLimit(QChar key, int currentLength, bool hasSelection, int limit) {
    return key != Backspace && !hasSelection && currentLength >= limit;
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString NumEditStart(const QString& text) {
    QString t = trimBlanks(text);
    t.remove(QLatin1Char(','));
    return t;
}

QString DateEditStart(const QString& text) {
    QString t = trimBlanks(text);
    t.remove(QLatin1Char('/'));
    return t;
}

QString NumFormat(const QString& text, int decimals, int /*maxLength*/) {
    if (trimBlanks(text).isEmpty())
        return QString();
    QString pattern = NumberPattern::Whole;
    if (decimals > 0)
        pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return formatNumber(Decimal::readVal(text), pattern);
}

int DateCheck(const QString& text) {
    // Exactly eight digits: a longer text would be read with its month and
    // day taken from the wrong places.
    if (text.size() != 8)
        return 1;
    for (QChar c : text) {
        if (!isAsciiDigit(c))
            return 1;
    }
    const int year = text.left(4).toInt();
    const int month = text.mid(4, 2).toInt();
    const int day = text.right(2).toInt();
    if (year < 1800 || year > 2100 || month < 1 || month > 12)
        return 1;
    return day >= 1 && day <= daysInMonth(year, month) ? 0 : 1;
}

LeaveResult leaveDateBox(const QString& text, bool required) {
    const QString t = trimBlanks(text);
    LeaveResult r;
    if (t.isEmpty() || t.contains(QLatin1Char('/')) || t == QLatin1String("0")) {
        r.text = QString();
    } else if (DateCheck(t) != 0) {
        return {text, LeaveOutcome::InvalidDate};
    } else {
        r.text = formatDigitDate(t);
    }
    if (required && r.text.isEmpty())
        r.outcome = LeaveOutcome::RequiredMissing;
    return r;
}

LeaveResult leaveNumericBox(const QString& text, int decimals, int maxLength, bool required) {
    if (required && trimBlanks(text).isEmpty())
        return {text, LeaveOutcome::RequiredMissing};
    return {NumFormat(text, decimals, maxLength), LeaveOutcome::Ok};
}

QString formatDate(const QDate& date) {
    if (!date.isValid())
        return QString();
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (y < 1 || y > 9999)
        return date.toString(kDateFormat);
    // Written by hand: lists show tens of thousands of dates, and the
    // general format engine costs ten times more per date.
    const QChar text[10] = {QChar(u'0' + y / 1000),
                            QChar(u'0' + y / 100 % 10),
                            QChar(u'0' + y / 10 % 10),
                            QChar(u'0' + y % 10),
                            QChar(u'/'),
                            QChar(u'0' + m / 10),
                            QChar(u'0' + m % 10),
                            QChar(u'/'),
                            QChar(u'0' + d / 10),
                            QChar(u'0' + d % 10)};
    return QString(text, 10);
}

QString formatDateTime(const QDateTime& dateTime) {
    return dateTime.isValid() ? dateTime.toString(kDateTimeFormat) : QString();
}

QDate parseBoxDate(const QString& text) {
    const QString t = trimBlanks(text);
    if (t.size() != 10)
        return {};
    return QDate::fromString(t, kDateFormat);
}

QDateTime parseBoxDateTime(const QString& text) {
    const QString t = trimBlanks(text);
    if (t.size() != 19)
        return {};
    return QDateTime::fromString(t, kDateTimeFormat);
}
