#include "demodata.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "settlement/settlementfixtures.h"
#include "support/testdatabase.h"

#include <QtTest>

using SettlementFixtures::rows;

namespace {

// -1 when the statement fails, so that no check passes on an error.
int count(const QString& where) {
    bool ok = false;
    const int n = rows("SELECT COUNT(*) FROM " + where).value(0).toInt(&ok);
    return ok ? n : -1;
}

} // namespace

class TestDemoData : public QObject {
    Q_OBJECT

  private slots:
    void everyStateOccursAndTheDataAgrees() {
        TestDatabase db;
        const DemoData::Summary s = DemoData::fill(gCon(), Clock::now());
        QVERIFY(Schema::check(gCon()).isEmpty());
        QCOMPARE(count("syain_m"), s.employees);
        QCOMPARE(
            count("syain_m WHERE 社員コード = '001' AND パスワード = '1234' AND 削除フラグ = 0"),
            1);
        // Every state of a price line and a slip, in numbers worth looking at;
        // text columns hold "" rather than Null, as the entry screens write them.
        const QString live = "seihin_t WHERE 削除フラグ = 0";
        const std::pair<QString, int> least[] = {
            {"naishoku_m WHERE 削除フラグ = 1", 1},
            {"tanka_m WHERE 適用終了日 IS NULL AND 削除フラグ = 0", 11},
            {"tanka_m WHERE 適用終了日 IS NOT NULL", 11},
            {"tanka_m WHERE 削除フラグ = 1", 4},
            {live + " AND 納入日 IS NULL", 5},
            {live + " AND 納入日 IS NOT NULL AND 精算日時 IS NULL", 5},
            {live + " AND 精算日時 IS NOT NULL", 50},
            {"seihin_t WHERE 削除フラグ = 1", 3}};
        for (const auto& [where, n] : least)
            QVERIFY2(count(where) >= n, qPrintable(where));
        QVERIFY(s.slips >= 200);
        // Rows that break a rule, none of which may be there: quantities that
        // do not fit the dates, Null remarks; slip numbers other than the day of
        // issue counted from 001; overlapping periods of one combination; live
        // slips without the price in force on their request date, in three
        // decimals as the screens show.
        for (const char* broken :
             {"seihin_t WHERE (納入日 IS NULL AND 納入数量 <> 0) OR 納入日 < 依頼日"
              " OR 納入数量 > 払出数量",
              "tanka_m WHERE 備考 IS NULL",
              "seihin_t WHERE 製品伝票番号 NOT GLOB '[0-9][0-9][0-9][0-9][0-9][0-9]-[0-9]"
              "[0-9][0-9]' OR substr(製品伝票番号, 1, 6) <> substr(依頼日, 3, 2) ||"
              " substr(依頼日, 6, 2) || substr(依頼日, 9, 2)",
              "(SELECT 1 FROM seihin_t GROUP BY substr(製品伝票番号, 1, 6)"
              " HAVING COUNT(*) <> MAX(CAST(substr(製品伝票番号, 8) AS INTEGER)))",
              "tanka_m WHERE 適用開始日 IS NULL OR 適用終了日 < 適用開始日",
              "tanka_m a JOIN tanka_m b ON a.製品図番 = b.製品図番 AND a.作業コード ="
              " b.作業コード AND a.内職者コード = b.内職者コード AND a.単価シリアル <>"
              " b.単価シリアル AND a.削除フラグ = 0 AND b.削除フラグ = 0 AND"
              " a.適用開始日 <= b.適用開始日 AND (a.適用開始日 = b.適用開始日 OR"
              " a.適用終了日 >= b.適用開始日)",
              "seihin_t s WHERE 削除フラグ = 0 AND (round(精算単価 * 10000) % 10 <> 0 OR"
              " round(精算単価 * 10000) IS NOT (SELECT round(単価 * 10000) FROM tanka_m t"
              " WHERE 削除フラグ <> 1 AND 適用開始日 <= s.依頼日 AND t.内職者コード ="
              " s.内職者コード AND t.作業コード = s.作業コード AND t.製品図番 = s.製品図番"
              " ORDER BY 適用開始日 DESC LIMIT 1))"})
            QVERIFY2(count(QString::fromUtf8(broken)) == 0, broken);
        // One run, each row counting and summing exactly its slips, none left out.
        QCOMPARE(count("(SELECT DISTINCT 精算日時 FROM seisan_t)"), 1);
        QCOMPARE(count("seisan_t"), s.settlementRows);
        QVERIFY(s.settlementRows >= 10);
        QCOMPARE(SettlementFixtures::settlementDisagreement(), QString());
        QCOMPARE(
            count("seisan_t r WHERE 精算対象開始日 > 精算対象最終日 OR date(精算日時) <="
                  " 精算対象最終日 OR 精算日時 > '2026-04-01 09:30:00' OR 最終更新日時 <> 精算日時"
                  " OR EXISTS (SELECT 1 FROM seihin_t s WHERE s.内職者コード = r.内職者コード"
                  " AND ((削除フラグ = 0 AND s.精算日時 IS NULL AND 納入日 BETWEEN"
                  " r.精算対象開始日 AND r.精算対象最終日) OR (s.精算日時 = r.精算日時 AND"
                  " (削除フラグ <> 0 OR 納入日 NOT BETWEEN r.精算対象開始日 AND"
                  " r.精算対象最終日))))"),
            0);
    }

    void repeatableAndDatedFromToday() {
        QStringList first;
        for (int i = 0; i < 2; ++i) {
            TestDatabase db;
            DemoData::fill(gCon(), Clock::now());
            if (i == 0)
                first = SettlementFixtures::dump();
            else
                QCOMPARE(SettlementFixtures::dump(), first);
        }
        // Another day gives data around that day: the latest slip is recent,
        // and nothing is requested or delivered after it.
        TestDatabase db(QDateTime(QDate(2031, 1, 5), QTime(8, 0)));
        DemoData::fill(gCon(), Clock::now());
        QCOMPARE(
            rows("SELECT MAX(依頼日) >= '2030-12-29', MAX(依頼日) <= '2031-01-05', MAX(納入日) <="
                 " '2031-01-05', MAX(最終更新日時) <= '2031-01-05 08:00:00' FROM seihin_t"),
            QStringList{"1|1|1|1"});
        QVERIFY(SettlementFixtures::dump() != first);
    }

    void failureLeavesNothingBehind() {
        TestDatabase db;
        // An employee already keyed makes the demo's own 001 collide.
        execSql("INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES ('001', '既存', 0)");
        QVERIFY_THROWS_EXCEPTION(DbError, DemoData::fill(gCon(), Clock::now()));
        QCOMPARE(count("syain_m"), 1);
        for (const char* table :
             {"naishoku_m", "zuban_m", "sagyou_m", "tanka_m", "seihin_t", "seisan_t"})
            QCOMPARE(count(table), 0);
    }
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "test_demodata.moc"
