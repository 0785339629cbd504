#include "demodata.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "settlement/settlementfixtures.h"
#include "support/testdatabase.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>
#include <cmath>

namespace {

qint64 tenThousandths(double price) {
    return std::llround(price * 10000.0);
}

int count(const QString& sql, const QVariantList& values = {}) {
    SqlQuery q(sql);
    for (const QVariant& v : values)
        q.bind(v);
    q.exec();
    return q.next() ? int(q.integer(QStringLiteral("n"))) : -1;
}

} // namespace

class TestDemoData : public QObject {
    Q_OBJECT

  private slots:
    void masterAndSlipVariety();
    void slipNumbersFollowTheDayOfIssue();
    void pricePeriodsDoNotOverlapAndPriceTheSlips();
    void settlementAgreesWithItsSlips();
    void repeatableAndDatedFromToday();
    void failureLeavesNothingBehind();
};

void TestDemoData::masterAndSlipVariety() {
    TestDatabase db;
    const DemoData::Summary s = DemoData::fill(gCon(), Clock::now());
    QVERIFY(Schema::check(gCon()).isEmpty());

    QCOMPARE(count("SELECT COUNT(*) AS n FROM syain_m"), s.employees);
    QVERIFY(s.employees >= 3 && s.employees <= 4);
    QCOMPARE(count("SELECT COUNT(*) AS n FROM syain_m WHERE 削除フラグ = 1"), 1);
    QCOMPARE(count("SELECT COUNT(*) AS n FROM syain_m WHERE 社員コード = '001' AND パスワード = "
                   "'1234' AND 削除フラグ = 0"),
             1);
    QVERIFY(count("SELECT COUNT(*) AS n FROM naishoku_m WHERE 削除フラグ = 1") >= 1);

    // Price lines: open-ended, closed and deleted ones all occur.
    QVERIFY(count("SELECT COUNT(*) AS n FROM tanka_m WHERE 適用終了日 IS NULL AND 削除フラグ = 0") >
            10);
    QVERIFY(count("SELECT COUNT(*) AS n FROM tanka_m WHERE 適用終了日 IS NOT NULL") > 10);
    QVERIFY(count("SELECT COUNT(*) AS n FROM tanka_m WHERE 削除フラグ = 1") > 3);

    // Every slip state, in numbers worth looking at.
    QVERIFY(s.slips >= 200);
    const QString live = QStringLiteral("SELECT COUNT(*) AS n FROM seihin_t WHERE 削除フラグ = 0");
    QVERIFY(count(live + " AND 納入日 IS NULL") >= 5);
    QVERIFY(count(live + " AND 納入日 IS NOT NULL AND 精算日時 IS NULL") >= 5);
    QVERIFY(count(live + " AND 精算日時 IS NOT NULL") >= 50);
    QVERIFY(count("SELECT COUNT(*) AS n FROM seihin_t WHERE 削除フラグ = 1") >= 3);
    // An issued slip has nothing delivered yet.
    QCOMPARE(count("SELECT COUNT(*) AS n FROM seihin_t WHERE 納入日 IS NULL AND 納入数量 <> 0"), 0);
    QCOMPARE(
        count("SELECT COUNT(*) AS n FROM seihin_t WHERE 納入日 < 依頼日 OR 納入数量 > 払出数量"),
        0);
    // Text columns hold "" rather than Null, as the entry screens write them.
    QCOMPARE(count("SELECT COUNT(*) AS n FROM sagyou_m WHERE 備考 IS NULL"), 0);
    QCOMPARE(count("SELECT COUNT(*) AS n FROM tanka_m WHERE 備考 IS NULL"), 0);
}

void TestDemoData::slipNumbersFollowTheDayOfIssue() {
    TestDatabase db;
    DemoData::fill(gCon(), Clock::now());
    const QRegularExpression form(QStringLiteral("^\\d{6}-\\d{3}$"));
    QSet<QString> seen;
    QHash<QString, int> lastOfDay;
    SqlQuery q("SELECT 製品伝票番号, 依頼日 FROM seihin_t ORDER BY 製品伝票番号");
    q.exec();
    while (q.next()) {
        const QString number = q.str("製品伝票番号");
        QVERIFY2(form.match(number).hasMatch(), qPrintable(number));
        QVERIFY2(!seen.contains(number), qPrintable(number));
        seen.insert(number);
        const QDate issued = SqlValue::toDate(q.value("依頼日"));
        QCOMPARE(number.left(6), issued.toString(QStringLiteral("yyMMdd")));
        // Each day counts from 001 without gaps.
        const int seq = number.mid(7).toInt();
        QCOMPARE(seq, lastOfDay.value(number.left(6)) + 1);
        lastOfDay[number.left(6)] = seq;
    }
    QVERIFY(seen.size() >= 200);
}

void TestDemoData::pricePeriodsDoNotOverlapAndPriceTheSlips() {
    TestDatabase db;
    DemoData::fill(gCon(), Clock::now());
    SqlQuery lines("SELECT 製品図番, 作業コード, 内職者コード, 適用開始日, 適用終了日 FROM tanka_m "
                   "WHERE 削除フラグ = 0 ORDER BY 製品図番, 作業コード, 内職者コード, 適用開始日");
    lines.exec();
    QString previousKey;
    QDate previousStart, previousEnd;
    int successions = 0;
    while (lines.next()) {
        const QString key =
            lines.str("製品図番") + "/" + lines.str("作業コード") + "/" + lines.str("内職者コード");
        const QDate start = SqlValue::toDate(lines.value("適用開始日"));
        const QDate end = SqlValue::toDate(lines.value("適用終了日"));
        QVERIFY(start.isValid());
        QVERIFY(!end.isValid() || end >= start);
        if (key == previousKey) {
            ++successions;
            QVERIFY2(start > previousStart, qPrintable(key));
            QVERIFY2(!previousEnd.isValid() || previousEnd < start, qPrintable(key));
        }
        previousKey = key;
        previousStart = start;
        previousEnd = end;
    }
    QVERIFY(successions > 10);

    // Every live slip carries the price in force on its request date.
    SqlQuery slips("SELECT * FROM seihin_t WHERE 削除フラグ = 0");
    slips.exec();
    int priced = 0;
    while (slips.next()) {
        SqlQuery price("SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND 適用開始日 <= ? AND "
                       "内職者コード = ? AND 作業コード = ? AND 製品図番 = ? "
                       "ORDER BY 適用開始日 DESC LIMIT 1");
        price.bind(slips.value("依頼日"))
            .bind(slips.str("内職者コード"))
            .bind(slips.str("作業コード"))
            .bind(slips.str("製品図番"))
            .exec();
        QVERIFY2(price.next(), qPrintable(slips.str("製品伝票番号")));
        QCOMPARE(tenThousandths(slips.num("精算単価")), tenThousandths(price.num("単価")));
        // The screens show three decimals; the demo's prices need no more.
        QCOMPARE(tenThousandths(price.num("単価")) % 10, 0);
        ++priced;
    }
    QVERIFY(priced > 100);
}

void TestDemoData::settlementAgreesWithItsSlips() {
    TestDatabase db;
    const DemoData::Summary s = DemoData::fill(gCon(), Clock::now());
    QCOMPARE(count("SELECT COUNT(DISTINCT 精算日時) AS n FROM seisan_t"), 1);
    QCOMPARE(count("SELECT COUNT(*) AS n FROM seisan_t"), s.settlementRows);
    QVERIFY(s.settlementRows >= 10);
    // Counts and sums of every row against its slips, and no stamped slip without a row.
    QCOMPARE(SettlementFixtures::settlementDisagreement(), QString());

    SqlQuery runs("SELECT * FROM seisan_t");
    runs.exec();
    while (runs.next()) {
        const QDate from = SqlValue::toDate(runs.value("精算対象開始日"));
        const QDate to = SqlValue::toDate(runs.value("精算対象最終日"));
        const QDateTime at = SqlValue::toDateTime(runs.value("精算日時"));
        QVERIFY(from.isValid() && to.isValid() && from <= to);
        QVERIFY(at.isValid() && at.date() > to && at <= Clock::now());
        QCOMPARE(runs.value("最終更新日時").toString(), runs.value("精算日時").toString());
        // Its slips are live and of its period, and it left none of those unpaid.
        const QVariant from0 = runs.value("精算対象開始日"), to0 = runs.value("精算対象最終日");
        QCOMPARE(count("SELECT COUNT(*) AS n FROM seihin_t WHERE 内職者コード = ? AND"
                       " ((削除フラグ = 0 AND 精算日時 IS NULL AND 納入日 BETWEEN ? AND ?)"
                       " OR (精算日時 = ? AND (削除フラグ <> 0 OR 納入日 NOT BETWEEN ? AND ?)))",
                       {runs.str("内職者コード"), from0, to0, runs.value("精算日時"), from0, to0}),
                 0);
    }
}

void TestDemoData::repeatableAndDatedFromToday() {
    QStringList first, second, other;
    {
        TestDatabase db;
        DemoData::fill(gCon(), Clock::now());
        first = SettlementFixtures::dump();
    }
    {
        TestDatabase db;
        DemoData::fill(gCon(), Clock::now());
        second = SettlementFixtures::dump();
    }
    QCOMPARE(second, first);

    // Another day gives data around that day: the latest slip is recent,
    // and nothing is requested or delivered after it.
    for (const QDate& today : {QDate(2031, 1, 5), QDate(2026, 3, 2)}) {
        TestDatabase db(QDateTime(today, QTime(8, 0)));
        DemoData::fill(gCon(), Clock::now());
        SqlQuery q(
            "SELECT MAX(依頼日) AS r, MAX(納入日) AS d, MAX(最終更新日時) AS u FROM seihin_t");
        q.exec();
        QVERIFY(q.next());
        const QDate latest = SqlValue::toDate(q.value("r"));
        QVERIFY2(latest <= today && latest >= today.addDays(-7), qPrintable(latest.toString()));
        QVERIFY(SqlValue::toDate(q.value("d")) <= today);
        QVERIFY(SqlValue::toDateTime(q.value("u")) <= Clock::now());
        QVERIFY(count("SELECT COUNT(*) AS n FROM seihin_t WHERE 精算日時 IS NOT NULL") > 50);
        QVERIFY(count("SELECT COUNT(*) AS n FROM seihin_t WHERE 削除フラグ = 0 AND 納入日 IS NOT "
                      "NULL AND 精算日時 IS NULL") > 0);
        other = SettlementFixtures::dump();
    }
    QVERIFY(other != first);
}

void TestDemoData::failureLeavesNothingBehind() {
    TestDatabase db;
    // An employee already keyed makes the demo's own 001 collide.
    execSql("INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES ('001', '既存', 0)");
    QVERIFY_THROWS_EXCEPTION(DbError, DemoData::fill(gCon(), Clock::now()));
    QCOMPARE(count("SELECT COUNT(*) AS n FROM syain_m"), 1);
    for (const char* table :
         {"naishoku_m", "zuban_m", "sagyou_m", "tanka_m", "seihin_t", "seisan_t"})
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) AS n FROM %1").arg(table)), 0);
}

QTEST_GUILESS_MAIN(TestDemoData)
#include "test_demodata.moc"
