#include "demodata.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "settlement/settlementfixtures.h"
#include "support/golden.h"
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
        // Every state of a price line and a slip in numbers worth looking at,
        // none of the rows that break a rule, one settlement run.
        const QString d = goldenCases("demo-rows.txt", [](const QStringList& f) -> QString {
            const int n = count(f[0]);
            return f.size() == 1 || n < f[1].toInt() ? QString::number(n) : "at least " + f[1];
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
        QVERIFY(s.slips >= 200);
        QCOMPARE(count("seisan_t"), s.settlementRows);
        QVERIFY(s.settlementRows >= 10);
        QCOMPARE(SettlementFixtures::settlementDisagreement(), QString());
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
