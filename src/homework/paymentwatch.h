#pragma once

#include "homework/paymentterms.h"

#include <QDate>
#include <QString>

// Delivered, unsettled live slips against the Act's payment limit
// (PaymentTerms::legalLimit of their 納入日).
struct PaymentWatch {
    static constexpr int SoonDays = 7;

    int overdue = 0;             // the limit has passed (it is before today)
    QDate oldestOverdueDelivery; // 納入日 of the oldest of them
    QDate overdueDeliveredUpTo;  // every unsettled slip delivered by then is overdue
    int dueSoon = 0;             // the limit is today or within SoonDays

    // "支払期限を過ぎた未精算の伝票が N 枚あります（最も古い納入日 YYYY/MM/DD）";
    // "" when none.
    QString overdueLine() const;
    // "期限が近い伝票が N 枚あります（7日以内）"; "" when none.
    QString dueSoonLine() const;
};

// Counts as of `today`; a valid first/last day keeps to slips delivered in
// that period. Throws DbError.
PaymentWatch watchPayments(const PaymentTerms& terms, const QDate& today,
                           const QDate& firstDelivery = {}, const QDate& lastDelivery = {});
