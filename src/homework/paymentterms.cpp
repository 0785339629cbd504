#include "homework/paymentterms.h"

#include "core/apperror.h"
#include "core/ini.h"

#include <QRegularExpression>

namespace {

const QString kSection = QStringLiteral("HomeWork");

// Day d of the month of `month`, or its last day when the month is shorter.
QDate dayOf(const QDate& month, int day) {
    return QDate(month.year(), month.month(), qMin(day, month.daysInMonth()));
}

QDate monthsAfter(const QDate& date, int months) {
    return QDate(date.year(), date.month(), 1).addMonths(months);
}

[[noreturn]] void malformed(const QString& key, const QString& value, const QString& expected) {
    throw AppError(QStringLiteral("TVL.INI の [HomeWork] %1 の値に誤りがあります: %2\n"
                                  "%3のように書いて下さい。")
                       .arg(key, value, expected));
}

int dayNumber(const QString& text) {
    bool ok = false;
    const int day = text.toInt(&ok);
    return ok && day >= 1 && day <= PaymentTerms::MonthEnd ? day : 0;
}

QString dayText(int day) {
    return day == PaymentTerms::MonthEnd ? QStringLiteral("末日") : QStringLiteral("%1日").arg(day);
}

} // namespace

PaymentTerms PaymentTerms::read() {
    return parse(IniRead(kSection, QStringLiteral("Closing")),
                 IniRead(kSection, QStringLiteral("PayDay")),
                 IniRead(kSection, QStringLiteral("DeliveryDays")),
                 IniRead(kSection, QStringLiteral("HandbookSlip")));
}

PaymentTerms PaymentTerms::parse(const QString& closing, const QString& payDayText,
                                 const QString& deliveryDaysText, const QString& handbookText) {
    PaymentTerms t;
    const QString c = closing.trimmed();
    if (!c.isEmpty() && c != QStringLiteral("月末")) {
        QString digits = c;
        if (digits.endsWith(QStringLiteral("日")))
            digits.chop(1);
        t.closingDay = dayNumber(digits);
        if (t.closingDay == 0)
            malformed(QStringLiteral("Closing"), c, QStringLiteral("「月末」か「20」"));
    }

    const QString p = payDayText.trimmed();
    if (!p.isEmpty()) {
        static const QRegularExpression form(
            QStringLiteral("^(当月|翌月|翌々月)(?:(\\d{1,2})日|末日?)$"));
        const QRegularExpressionMatch m = form.match(p);
        const int day = m.captured(2).isEmpty() ? MonthEnd : dayNumber(m.captured(2));
        if (!m.hasMatch() || day == 0)
            malformed(QStringLiteral("PayDay"), p, QStringLiteral("「翌月10日」か「翌月末日」"));
        const QString month = m.captured(1);
        t.payMonths = month == QStringLiteral("当月") ? 0 : month == QStringLiteral("翌月") ? 1 : 2;
        t.payDay = day;
        // Paying in the closing month must come after the closing day; in
        // the next month no later than the day the Act allows.
        const bool legal = t.payMonths == 0   ? t.payDay >= t.closingDay
                           : t.payMonths == 1 ? t.payDay <= t.closingDay
                                              : false;
        if (!legal)
            throw AppError(
                QStringLiteral("TVL.INI の [HomeWork] PayDay の支払日は、締切日（Closing）から"
                               "1か月以内にして下さい（家内労働法）: %1")
                    .arg(p));
    }

    const QString d = deliveryDaysText.trimmed();
    if (!d.isEmpty()) {
        bool ok = false;
        t.deliveryDays = d.toInt(&ok);
        if (!ok || t.deliveryDays < 0 || t.deliveryDays > 366)
            malformed(QStringLiteral("DeliveryDays"), d, QStringLiteral("0～366 の日数「7」"));
    }

    const QString h = handbookText.trimmed();
    if (!h.isEmpty() && h != QLatin1String("0") && h != QLatin1String("1"))
        malformed(QStringLiteral("HandbookSlip"), h, QStringLiteral("「0」か「1」"));
    t.handbookSlip = h == QLatin1String("1");
    return t;
}

QString PaymentTerms::describe() const {
    static const QString months[] = {QStringLiteral("当月"), QStringLiteral("翌月"),
                                     QStringLiteral("翌々月")};
    const QString closing =
        closingDay == MonthEnd ? QStringLiteral("月末") : QStringLiteral("%1日").arg(closingDay);
    return QStringLiteral("%1締め%2%3払い").arg(closing, months[payMonths], dayText(payDay));
}

QDate PaymentTerms::deliveryDue(const QDate& requested) const {
    return requested.isValid() ? requested.addDays(deliveryDays) : QDate();
}

QDate PaymentTerms::closingFor(const QDate& received) const {
    if (!received.isValid())
        return {};
    const QDate sameMonth = dayOf(received, closingDay);
    return received <= sameMonth ? sameMonth : dayOf(monthsAfter(received, 1), closingDay);
}

QDate PaymentTerms::paymentDue(const QDate& received) const {
    const QDate closing = closingFor(received);
    return closing.isValid() ? dayOf(monthsAfter(closing, payMonths), payDay) : QDate();
}

QDate PaymentTerms::legalLimit(const QDate& received) const {
    const QDate closing = closingFor(received);
    return closing.isValid() ? dayOf(monthsAfter(closing, 1), closingDay) : QDate();
}

QDate PaymentTerms::slipPaymentDue(const QDate& requested, const QDate& received) const {
    return paymentDue(received.isValid() ? received : deliveryDue(requested));
}
