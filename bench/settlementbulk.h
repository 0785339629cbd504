#pragma once

// The bulk-SQL baseline of settlement: the same selection, pricing and
// writes as the fewest statements the engine allows. The money is reckoned
// inside the statements (per-slip halves to even, the legal 10 % of the
// April deliveries rounded per slip), so that no row crosses the wire that
// the work does not need.
#include "benchdatabase.h"
#include "settlementbench.h"

namespace SettlementBulk {

using SettlementBench::kFirst;
using SettlementBench::kLast;

// "?::type" types a value on a server; a file needs no type.
inline QString typed(QString sql, SqlEngine engine) {
    if (engine == SqlEngine::Sqlite)
        sql.replace(QStringLiteral("::timestamp"), QString())
            .replace(QStringLiteral("::date"), QString());
    return sql;
}

// The price in force as the lists show it (three decimals, half away from
// zero), in ten-thousandths of a yen; 0 without a line.
inline const QString kPriceInForce = QStringLiteral(
    "(CAST(round(COALESCE((SELECT t.単価 FROM tanka_m t WHERE t.削除フラグ <> 1"
    " AND t.適用開始日 <= s.依頼日 AND t.内職者コード = s.内職者コード"
    " AND t.作業コード = s.作業コード AND t.製品図番 = s.製品図番"
    " ORDER BY t.適用開始日 DESC, t.単価シリアル DESC LIMIT 1), 0) * 10000) AS bigint) + 5)"
    " / 10 * 10");
inline const QString kSelection =
    QStringLiteral(" FROM seihin_t s WHERE COALESCE(s.削除フラグ, 0) <> 1 AND s.納入日 IS NOT NULL"
                   " AND s.精算日時 IS NULL AND s.納入日 >= ?::date AND s.納入日 <= ?::date");

// round(x / d), halves to even, for x >= 0 and whole numbers.
inline QString halfEven(const QString& x, const char* d) {
    return QStringLiteral("(%1 / %2 + CASE WHEN %1 %% %2 * 2 > %2 OR (%1 %% %2 * 2 = %2"
                          " AND %1 / %2 %% 2 = 1) THEN 1 ELSE 0 END)")
        .arg(x, QString::fromLatin1(d))
        .replace(QStringLiteral("%%"), QStringLiteral("%"));
}

template <class Db> void exec(Db& db, const QString& sql, const QList<QByteArray>& values = {}) {
    typename Db::Statement q(db, typed(sql, Db::kEngine));
    for (int i = 0; i < values.size(); ++i)
        q.bind(i + 1, values.at(i));
    while (q.step()) {
    }
}

template <class Db> void settle(Db& db, const QByteArray& stampIn, const QByteArray& employee) {
    BenchDatabase::beginWrite(db);
    QByteArray stamp = stampIn;
    {
        typename Db::Statement taken(
            db, typed(QStringLiteral("SELECT (EXISTS (SELECT 1 FROM seisan_t WHERE 精算日時 ="
                                     " ?::timestamp) OR EXISTS (SELECT 1 FROM seihin_t WHERE"
                                     " 精算日時 IN (?::timestamp, ?::timestamp)))"),
                      Db::kEngine));
        for (int i = 1; i <= 3; ++i)
            taken.bind(i, stamp);
        taken.step();
        if (taken.integer(0) != 0) // the bench's stamps are always free
            db.fail("time stamp taken");
    }
    const bool server = Db::kEngine == SqlEngine::Postgres;
    // A server takes no values in CREATE TABLE ... AS: the table first.
    db.exec(server ? "CREATE TEMP TABLE run_slips (no text, person text, qty bigint, p bigint)"
                     " ON COMMIT DROP"
                   : "CREATE TEMP TABLE run_slips (no TEXT, person TEXT, qty INTEGER, p INTEGER)");
    exec(db,
         QStringLiteral("INSERT INTO run_slips SELECT s.製品伝票番号, s.内職者コード, s.納入数量,"
                        " %1")
                 .arg(kPriceInForce) +
             kSelection,
         {kFirst, kLast});
    exec(db,
         QStringLiteral("UPDATE seihin_t SET 精算日時 = ?::timestamp, 最終更新日時 = ?::timestamp,"
                        " 社員コード = ?, 精算単価 = r.p / 10000.0 FROM run_slips r"
                        " WHERE seihin_t.製品伝票番号 = r.no"),
         {stamp, stamp, employee});
    exec(db,
         QStringLiteral("INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日,"
                        " 精算対象最終日, 精算対象伝票枚数, 精算金額, 消費税, 合計金額, 備考,"
                        " 最終更新日時, 削除フラグ, 社員コード)"
                        " SELECT ?::timestamp, person, ?::date, ?::date, COUNT(*), SUM(amount),"
                        " SUM(tax), SUM(amount) + SUM(tax), '', ?::timestamp, 0, ?"
                        " FROM (SELECT person, %1 AS amount, %2 AS tax"
                        " FROM (SELECT person, p * qty AS x FROM run_slips) y) z GROUP BY person")
             .arg(halfEven(QStringLiteral("x"), "10000"),
                  halfEven(QStringLiteral("(x * 10)"), "1000000")),
         {stamp, kFirst, kLast, stamp, employee});
    if (!server)
        db.exec("DROP TABLE run_slips");
    db.exec("COMMIT");
}

template <class Db> void cancel(Db& db, const QByteArray& now, const QByteArray& employee) {
    BenchDatabase::beginWrite(db);
    const QString live =
        QStringLiteral("COALESCE(c.削除フラグ, 0) <> 1 AND c.精算対象開始日 >= ?::date"
                       " AND c.精算対象最終日 <= ?::date");
    exec(db,
         QStringLiteral("UPDATE seihin_t SET 精算日時 = NULL, 最終更新日時 = ?::timestamp,"
                        " 社員コード = ? FROM seisan_t c WHERE %1 AND seihin_t.精算日時 ="
                        " c.精算日時 AND seihin_t.内職者コード = c.内職者コード")
             .arg(live),
         {now, employee, kFirst, kLast});
    exec(db,
         QStringLiteral("UPDATE seisan_t SET 削除フラグ = 1, 最終更新日時 = ?::timestamp,"
                        " 社員コード = ? WHERE 精算日時 IN (SELECT c.精算日時 FROM seisan_t c"
                        " WHERE %1)")
             .arg(live),
         {now, employee, kFirst, kLast});
    db.exec("COMMIT");
}

// Reads the trial's rows with their prices, then writes the prices that
// changed.
template <class Db> qint64 trial(Db& db, const QByteArray& now, const QByteArray& employee) {
    BenchDatabase::beginWrite(db);
    qint64 rows = 0;
    {
        typename Db::Statement q(
            db, typed(QStringLiteral("SELECT s.製品伝票番号, s.内職者コード, s.製品図番,"
                                     " s.作業コード, s.精算単価, s.納入数量, s.依頼日, s.納入日,"
                                     " sagyou_m.作業項目, naishoku_m.内職者氏名, %1 AS p")
                              .arg(kPriceInForce) +
                          kSelection.left(kSelection.indexOf(QStringLiteral(" WHERE"))) +
                          QStringLiteral(" LEFT JOIN naishoku_m ON s.内職者コード ="
                                         " naishoku_m.内職者コード LEFT JOIN sagyou_m ON"
                                         " s.作業コード = sagyou_m.作業コード") +
                          kSelection.mid(kSelection.indexOf(QStringLiteral(" WHERE"))) +
                          QStringLiteral(" ORDER BY s.内職者コード, s.依頼日, s.製品図番,"
                                         " s.作業コード, s.製品伝票番号"),
                      Db::kEngine));
        q.bind(1, kFirst);
        q.bind(2, kLast);
        while (q.step()) {
            for (int c = 0; c < q.columns(); ++c)
                q.text(c);
            ++rows;
        }
    }
    exec(db,
         QStringLiteral("UPDATE seihin_t SET 精算単価 = x.p / 10000.0,"
                        " 最終更新日時 = ?::timestamp, 社員コード = ?"
                        " FROM (SELECT s.製品伝票番号 AS no, s.精算単価 AS stored, %1 AS p")
                 .arg(kPriceInForce) +
             kSelection +
             QStringLiteral(") x WHERE seihin_t.製品伝票番号 = x.no"
                            " AND (x.stored IS NULL OR x.stored <> x.p / 10000.0)"),
         {now, employee, kFirst, kLast});
    db.exec("COMMIT");
    return rows;
}

} // namespace SettlementBulk
