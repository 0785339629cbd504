#pragma once

#include <QDate>
#include <QString>

// The payment terms of [HomeWork] in TVL.INI and the dates that follow from
// them for a slip:
//   Closing      "月末" (default) or a day 1-31 (31 and a day past a short
//                month's end mean its last day)
//   PayDay       "翌月10日" style: 当月 / 翌月 / 翌々月, then a day ("10日")
//                or "末日"; default 翌月10日
//   DeliveryDays days from 依頼日 to the delivery due date; default 7
//   HandbookSlip 1 prints the slip as the home-worker's handbook; default 0
// The Home Work Act wants wages paid within one month of the goods being
// received, or of the closing day that covers the receipt; terms that pay
// later than that are refused like malformed ones.
struct PaymentTerms {
    static constexpr int MonthEnd = 31;

    int closingDay = MonthEnd;
    int payMonths = 1; // after the closing month
    int payDay = 10;   // MonthEnd for 末日
    int deliveryDays = 7;
    bool handbookSlip = false;

    // From TVL.INI; a malformed value throws AppError naming the key.
    static PaymentTerms read();
    // The same from the four texts as written ("" takes the default).
    static PaymentTerms parse(const QString& closing, const QString& payDayText,
                              const QString& deliveryDaysText, const QString& handbookText);

    // "月末締め翌月10日払い" or "20日締め翌月末日払い".
    QString describe() const;

    // 依頼日 + DeliveryDays.
    QDate deliveryDue(const QDate& requested) const;
    // The closing day whose period holds the receipt.
    QDate closingFor(const QDate& received) const;
    // When the terms pay for goods received that day.
    QDate paymentDue(const QDate& received) const;
    // The last day the Act allows: one month after that closing day.
    QDate legalLimit(const QDate& received) const;
    // A slip's payment due date: from its receipt, or before that from its
    // delivery due date. Invalid when neither date is known.
    QDate slipPaymentDue(const QDate& requested, const QDate& received) const;
};
