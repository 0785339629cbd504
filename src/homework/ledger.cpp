#include "homework/ledger.h"

#include "core/bytetext.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

#include <QMap>

namespace {

// The range and period conditions shared by the three reads; `day` is the
// column that must lie in the period.
QString rangeSql(const LedgerSelection& s, const QString& code, const QString& day,
                 QVariantList& values) {
    QString sql = QStringLiteral(" AND substr(CAST(%1 AS TEXT), 1, 10) >= ?"
                                 " AND substr(CAST(%1 AS TEXT), 1, 10) <= ?")
                      .arg(day);
    values << SqlValue::date(s.first) << SqlValue::date(s.last);
    if (!s.fromCode.isEmpty()) {
        sql += QStringLiteral(" AND %1 >= ?").arg(code);
        values << s.fromCode;
    }
    if (!s.toCode.isEmpty()) {
        sql += QStringLiteral(" AND %1 <= ?").arg(code);
        values << s.toCode;
    }
    return sql;
}

void run(SqlQuery& q, const QVariantList& values) {
    for (const QVariant& v : values)
        q.bind(v);
    q.exec();
}

} // namespace

QList<LedgerWorker> loadLedger(const LedgerSelection& s, const PaymentTerms& terms) {
    QMap<QString, LedgerWorker> workers;
    const auto worker = [&workers](const SqlQuery& q) -> LedgerWorker& {
        const QString code = rtrim(q.str(QStringLiteral("内職者コード")));
        LedgerWorker& w = workers[code];
        w.code = code;
        return w;
    };

    QVariantList values;
    const QString slips =
        QStringLiteral("SELECT s.内職者コード, s.製品伝票番号, s.製品図番, s.作業コード,"
                       " sagyou_m.作業項目, s.払出数量, s.納入数量, s.精算単価, s.依頼日, s.納入日"
                       " FROM seihin_t s LEFT JOIN sagyou_m ON s.作業コード = sagyou_m.作業コード"
                       " WHERE s.削除フラグ <> 1");
    SqlQuery commissions(
        slips + rangeSql(s, QStringLiteral("s.内職者コード"), QStringLiteral("s.依頼日"), values) +
        QStringLiteral(" ORDER BY s.依頼日, s.製品伝票番号"));
    run(commissions, values);
    while (commissions.next()) {
        LedgerCommission c;
        c.slipNo = rtrim(commissions.str(QStringLiteral("製品伝票番号")));
        c.requested = SqlValue::toDate(commissions.value(QStringLiteral("依頼日")));
        c.work = rtrim(commissions.str(QStringLiteral("作業項目")));
        if (c.work.isEmpty())
            c.work = rtrim(commissions.str(QStringLiteral("作業コード")));
        c.drawing = rtrim(commissions.str(QStringLiteral("製品図番")));
        c.issued = commissions.integer(QStringLiteral("払出数量"));
        c.price = UnitPrice::fromDb(commissions.num(QStringLiteral("精算単価")));
        c.deliveryDue = terms.deliveryDue(c.requested);
        c.paymentDue = terms.slipPaymentDue(
            c.requested, SqlValue::toDate(commissions.value(QStringLiteral("納入日"))));
        worker(commissions).commissions.append(c);
    }

    values.clear();
    SqlQuery receipts(
        slips + rangeSql(s, QStringLiteral("s.内職者コード"), QStringLiteral("s.納入日"), values) +
        QStringLiteral(" ORDER BY s.納入日, s.製品伝票番号"));
    run(receipts, values);
    while (receipts.next())
        worker(receipts).receipts.append(
            {rtrim(receipts.str(QStringLiteral("製品伝票番号"))),
             SqlValue::toDate(receipts.value(QStringLiteral("納入日"))),
             receipts.integer(QStringLiteral("納入数量"))});

    values.clear();
    SqlQuery payments(
        QStringLiteral("SELECT 内職者コード, 精算日時, 精算金額, 合計金額, 削除フラグ FROM seisan_t"
                       " WHERE 1 = 1") +
        rangeSql(s, QStringLiteral("内職者コード"), QStringLiteral("精算日時"), values) +
        QStringLiteral(" ORDER BY 精算日時"));
    run(payments, values);
    while (payments.next())
        worker(payments).payments.append(
            {SqlValue::toDateTime(payments.value(QStringLiteral("精算日時"))),
             Yen(payments.integer(QStringLiteral("精算金額"))),
             Yen(payments.integer(QStringLiteral("合計金額"))),
             payments.integer(QStringLiteral("削除フラグ")) == 1});

    SqlQuery person(QStringLiteral("SELECT 内職者氏名, 性別, 生年月日, 住所, 作業場所在地"
                                   " FROM naishoku_m WHERE 内職者コード = ?"));
    QList<LedgerWorker> list;
    for (LedgerWorker& w : workers) {
        person.bind(w.code).exec();
        if (person.next()) {
            w.name = rtrim(person.str(QStringLiteral("内職者氏名")));
            w.sex = rtrim(person.str(QStringLiteral("性別")));
            w.birth = SqlValue::toDate(person.value(QStringLiteral("生年月日")));
            w.address = rtrim(person.str(QStringLiteral("住所")));
            w.workplace = rtrim(person.str(QStringLiteral("作業場所在地")));
            if (w.workplace == w.address)
                w.workplace.clear();
        }
        list.append(std::move(w));
    }
    return list;
}
