#include "homework/paymentwatch.h"

#include "core/conventions.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

QString PaymentWatch::overdueLine() const {
    if (overdue == 0)
        return {};
    return QStringLiteral("支払期限を過ぎた未精算の伝票が %1 枚あります（最も古い納入日 %2）")
        .arg(overdue)
        .arg(formatDate(oldestOverdueDelivery));
}

QString PaymentWatch::dueSoonLine() const {
    if (dueSoon == 0)
        return {};
    return QStringLiteral("期限が近い伝票が %1 枚あります（%2日以内）").arg(dueSoon).arg(SoonDays);
}

PaymentWatch watchPayments(const PaymentTerms& terms, const QDate& today,
                           const QDate& firstDelivery, const QDate& lastDelivery) {
    // One row per delivery day: the limit depends on the day alone. The day
    // is read as text, the same on a file and on a server's DATE column.
    QString sql = QStringLiteral(
        "SELECT substr(CAST(納入日 AS TEXT), 1, 10) AS 日, count(*) AS 枚数 FROM seihin_t"
        " WHERE 削除フラグ <> 1 AND 納入日 IS NOT NULL AND 精算日時 IS NULL");
    QVariantList values;
    if (firstDelivery.isValid()) {
        sql += QStringLiteral(" AND substr(CAST(納入日 AS TEXT), 1, 10) >= ?");
        values << SqlValue::date(firstDelivery);
    }
    if (lastDelivery.isValid()) {
        sql += QStringLiteral(" AND substr(CAST(納入日 AS TEXT), 1, 10) <= ?");
        values << SqlValue::date(lastDelivery);
    }
    sql += QStringLiteral(" GROUP BY 日 ORDER BY 日");
    SqlQuery q(sql);
    for (const QVariant& v : values)
        q.bind(v);
    q.exec();

    PaymentWatch w;
    const QDate soon = today.addDays(PaymentWatch::SoonDays);
    while (q.next()) {
        const QDate received = SqlValue::toDate(q.value(QStringLiteral("日")));
        const int count = int(q.integer(QStringLiteral("枚数")));
        const QDate limit = terms.legalLimit(received);
        if (!limit.isValid())
            continue;
        if (limit < today) {
            if (w.overdue == 0)
                w.oldestOverdueDelivery = received;
            w.overdue += count;
            w.overdueDeliveredUpTo = received;
        } else if (limit <= soon) {
            w.dueSoon += count;
        }
    }
    return w;
}
