#pragma once

#include "core/apperror.h"
#include "core/database.h"
#include "core/money.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "settlement/consumptiontax.h"
#include "settlement/settlementcriteria.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QDate>
#include <QRegularExpression>
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
    const auto day = [](const QString& ymd) { return QDate::fromString(ymd, "yyyy/MM/dd"); };
    return {day(first), day(last), fromWorker, toWorker, "E001", /*allowUnpriced=*/true};
}

// A trigger that makes the statement `event` (e.g. "INSERT ON seisan_t WHEN
// …") fail with "<what> refused". On a server it calls refuse(), which
// TestDatabase puts in every schema.
inline QString refusal(const QString& event, const QString& what) {
    const QString on = event.section(QStringLiteral(" WHEN "), 0, 0);
    const QString when = event.section(QStringLiteral(" WHEN "), 1);
    const EngineSql sql = {
        QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %2 BEGIN SELECT RAISE(ABORT, '%1 refused');"
                       " END")
            .arg(what, event),
        QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %2 FOR EACH ROW %3"
                       " EXECUTE FUNCTION refuse('%1 refused')")
            .arg(what, on, when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when))};
    return TestDatabase::onServer() ? sql.postgres : sql.sqlite;
}

using TestRuns::rows;

// "-" stands for an empty field of a case table.
inline QString field(const QStringList& f, int i) {
    return f.value(i) == "-" ? QString() : f.value(i);
}

// A message on one line (" / " for its breaks), without the error code that
// a server names first.
inline QString oneLine(QString text) {
    static const QRegularExpression code(QStringLiteral("データベースのエラーです（\\w+）。\n"));
    return text.remove(code).replace('\n', " / ");
}

// Every row of every table, for "nothing changed" checks.
inline QStringList dump() {
    QStringList out;
    for (const Schema::Table& t : Schema::tables())
        for (const QString& row : rows(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3")
                                           .arg(QString::fromUtf8(t.name))))
            // A password hash is salted afresh each time: only its kind compares.
            out << QString::fromUtf8(t.name) + QLatin1Char(':') +
                       QString(row).replace(
                           QRegularExpression(QStringLiteral("\\$argon2id\\$[^|]*")),
                           QStringLiteral("(hash)"));
    return out;
}

// The first way in which settlements and slips disagree, "" when none: a
// live seisan_t row must count and sum exactly the slips stamped with its
// time stamp and home-worker, and every stamped slip needs such a row.
inline QString settlementDisagreement() {
    SqlQuery q(QStringLiteral("SELECT 精算日時, 内職者コード, 精算対象伝票枚数, 精算金額, 消費税,"
                              " 合計金額 FROM seisan_t WHERE 削除フラグ <> 1"));
    q.exec();
    SqlQuery s(QStringLiteral("SELECT 精算単価, 納入数量, 納入日 FROM seihin_t"
                              " WHERE 精算日時 = ? AND 内職者コード = ?"));
    while (q.next()) {
        s.bind(q.value(QStringLiteral("精算日時"))).bind(q.value(QStringLiteral("内職者コード")));
        s.exec();
        qint64 n = 0, amount = 0, tax = 0;
        while (s.next()) {
            const UnitPrice p = UnitPrice::fromDb(s.num(QStringLiteral("精算単価")));
            const qint64 quantity = s.integer(QStringLiteral("納入数量"));
            ++n;
            amount += amountOf(p, quantity);
            tax += taxOf(
                p, quantity,
                legalTaxRules().percentOn(SqlValue::toDate(s.value(QStringLiteral("納入日")))));
        }
        // What the slips add up to, then what the row says.
        const QString found =
            QStringLiteral("%1 %2 %3 %4").arg(n).arg(amount).arg(tax).arg(amount + tax);
        const QString said =
            QStringList({q.str(QStringLiteral("精算対象伝票枚数")),
                         q.str(QStringLiteral("精算金額")), q.str(QStringLiteral("消費税")),
                         q.str(QStringLiteral("合計金額"))})
                .join(' ');
        if (found != said)
            return q.str(QStringLiteral("精算日時")) + "/" + q.str(QStringLiteral("内職者コード")) +
                   ": slips make " + found + ", the row says " + said;
    }
    const QStringList orphans = rows(QStringLiteral(
        "SELECT 製品伝票番号 FROM seihin_t s WHERE 精算日時 IS NOT NULL AND NOT EXISTS"
        " (SELECT 1 FROM seisan_t r WHERE r.精算日時 = s.精算日時"
        " AND r.内職者コード = s.内職者コード AND r.削除フラグ <> 1)"));
    return orphans.isEmpty() ? QString()
                             : QStringLiteral("stamped without a row: ") + orphans.first();
}

} // namespace SettlementFixtures
