#pragma once

#include "core/database.h"
#include "core/money.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "settlement/consumptiontax.h"
#include "settlement/settlementcriteria.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

// Rows written straight into the tables, so that tests set up exactly what
// they need without going through the code under test.
namespace SettlementFixtures {

inline QVariant nullText() {
    return QVariant(QMetaType::fromType<QString>());
}

inline QVariant isoDate(const QString& ymd) {
    return ymd.isEmpty() ? nullText()
                         : QVariant(QDate::fromString(ymd, "yyyy/MM/dd").toString(Qt::ISODate));
}

inline void addWorker(const QString& code, const QString& name) {
    execSql(QStringLiteral("INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ)"
                           " VALUES (?, ?, 0)"),
            {code, name});
}

inline void addWorkCode(const QString& code, const QString& item) {
    execSql("INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES (?, ?, 0)",
            {code, item});
}

inline void addPrice(qint64 serial, const QString& pno, const QString& wno, const QString& person,
                     double price, const QString& start, bool deleted = false) {
    execSql(
        QStringLiteral("INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード,"
                       " 単価, 備考, 適用開始日, 適用終了日, 最終更新日時, 削除フラグ, 社員コード)"
                       " VALUES (?, ?, ?, ?, ?, '', ?, NULL, '2003-01-01 00:00:00', ?, 'X')"),
        {serial, pno, wno, person, price, isoDate(start), deleted ? 1 : 0});
}

// A slip; `delivered` "" is not delivered yet, `settledAt` is the stored
// 精算日時 text ("" for Null).
inline void addSlip(const QString& number, const QString& person, const QString& pno = "P-100",
                    const QString& wno = "W1", double storedPrice = 0, qint64 quantity = 1,
                    const QString& requested = "2004/04/01",
                    const QString& delivered = "2004/04/20", const QString& settledAt = QString(),
                    bool deleted = false) {
    execSql(QStringLiteral("INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード,"
                           " 精算単価, 払出数量, 納入数量, 依頼日, 納入日, 精算日時, 最終更新日時,"
                           " 削除フラグ, 社員コード)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '2004-04-01 08:00:00', ?, 'X')"),
            {number, pno, wno, person, storedPrice, quantity, quantity, isoDate(requested),
             isoDate(delivered), settledAt.isEmpty() ? nullText() : QVariant(settledAt),
             deleted ? 1 : 0});
}

// Slips without a price are paid 0 here, as most tests need no prices.
inline SettlementCriteria criteria(const QString& first, const QString& last,
                                   const QString& fromWorker = {}, const QString& toWorker = {}) {
    return {QDate::fromString(first, "yyyy/MM/dd"),
            QDate::fromString(last, "yyyy/MM/dd"),
            fromWorker,
            toWorker,
            "E001",
            /*allowUnpriced=*/true};
}

// A trigger that makes the statement `event` (e.g. "INSERT ON seisan_t WHEN
// …") fail with "<what> refused".
inline QString refusal(const QString& event, const QString& what) {
    return QStringLiteral(
               "CREATE TRIGGER refuse_%1 BEFORE %2 BEGIN SELECT RAISE(ABORT, '%1 refused');"
               " END")
        .arg(what, event);
}

// Rows of a query as "a|b|c" lines (Null shows as "").
inline QStringList rows(const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q(gCon());
    q.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (!q.exec())
        return {QStringLiteral("error: ") + q.lastError().text()};
    QStringList out;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < q.record().count(); ++i)
            cells << q.value(i).toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// Every row of every table, for "nothing changed" checks.
inline QStringList dump() {
    QStringList out;
    for (const Schema::Table& t : Schema::tables())
        for (const QString& row : rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3")
                                           .arg(QString::fromUtf8(t.name))))
            out << QString::fromUtf8(t.name) + QLatin1Char(':') + row;
    return out;
}

// The first way in which settlements and slips disagree, "" when none: a
// live seisan_t row must count and sum exactly the slips stamped with its
// time stamp and home-worker, and every stamped slip needs such a row.
inline QString settlementDisagreement() {
    QSqlQuery q(gCon());
    q.exec(QStringLiteral("SELECT 精算日時, 内職者コード, 精算対象伝票枚数, 精算金額, 消費税,"
                          " 合計金額 FROM seisan_t WHERE 削除フラグ <> 1"));
    while (q.next()) {
        QSqlQuery s(gCon());
        s.prepare(QStringLiteral("SELECT 精算単価, 納入数量, 納入日 FROM seihin_t"
                                 " WHERE 精算日時 = ? AND 内職者コード = ?"));
        s.addBindValue(q.value(0));
        s.addBindValue(q.value(1));
        s.exec();
        qint64 n = 0, amount = 0, tax = 0;
        while (s.next()) {
            const UnitPrice p = UnitPrice::fromDb(s.value(0).toDouble());
            ++n;
            amount += amountOf(p, s.value(1).toLongLong());
            tax += taxOf(p, s.value(1).toLongLong(),
                         legalTaxRules().percentOn(SqlValue::toDate(s.value(2))));
        }
        const QString key = q.value(0).toString() + QLatin1Char('/') + q.value(1).toString();
        if (n != q.value(2).toLongLong() || amount != q.value(3).toLongLong() ||
            tax != q.value(4).toLongLong() || amount + tax != q.value(5).toLongLong())
            return QStringLiteral("%1: %2 slips %3 yen %4 tax, row says %5 %6 %7")
                .arg(key)
                .arg(n)
                .arg(amount)
                .arg(tax)
                .arg(q.value(2).toString(), q.value(3).toString(), q.value(4).toString());
    }
    const QStringList orphans = rows(QStringLiteral(
        "SELECT 製品伝票番号 FROM seihin_t s WHERE 精算日時 IS NOT NULL AND NOT EXISTS"
        " (SELECT 1 FROM seisan_t r WHERE r.精算日時 = s.精算日時"
        " AND r.内職者コード = s.内職者コード AND r.削除フラグ <> 1)"));
    return orphans.isEmpty() ? QString()
                             : QStringLiteral("stamped without a row: ") + orphans.first();
}

} // namespace SettlementFixtures
