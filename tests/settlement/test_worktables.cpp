#include "core/apperror.h"
#include "core/clock.h"
#include "settlement/cashbreakdown.h"
#include "settlement/settlementlist.h"
#include "settlement/settlementrun.h"
#include "settlement/worktables.h"
#include "settlementfixtures.h"
#include "support/testdatabase.h"

#include <QtTest>
#include <cstdlib>
#include <limits>

using namespace SettlementFixtures;

namespace {

// Settles April's slips at the given clock.
void settleAt(const QDateTime& when) {
    Clock::setFixed(when);
    RunSettlement(criteria("2004/04/01", "2004/04/30"));
}

} // namespace

class TestWorkTables : public QObject {
    Q_OBJECT
  private slots:
    void tablesHoldTheRunsSlipsAndClasses();
    void cancelledRunOrFailedFillLeavesTablesAlone();
    void designationPicksTheLatestRunOfTheWholeDay();
    void cashBreakdownAddsBackToTheAmount();
};

void TestWorkTables::tablesHoldTheRunsSlipsAndClasses() {
    TestDatabase db;
    addWorker("N01", "山田花子");
    addWorkCode("W1", "組立");
    addPrice(1, "ABC-1", "W1", "N01", 1.2345, "2004/01/01");
    addPrice(2, "ABC-22", "W1", "N01", 2.5, "2004/01/01");
    addPrice(3, "XY", "W1", "N02", 30, "2004/01/01");
    addSlip("S1", "N01", "ABC-1", "W1", 0, 10, "2004/04/02");
    addSlip("S2", "N01", "ABC-22", "W1", 0, 3, "2004/04/01");
    addSlip("S3", "N02", "XY", "W1", 0, 7, "2004/04/03");
    settleAt(QDateTime(QDate(2004, 5, 6), QTime(17, 30)));
    const QString run = "2004-05-06 17:30:00";

    const auto lines = FillStatementTable(designateRun("2004/05/06"));
    QVERIFY(lines);
    QStringList got;
    for (const StatementLine& l : *lines)
        got << QStringList{l.workerCode,    l.workerName, l.requestDate.toString(Qt::ISODate),
                           l.drawingNumber, l.priceText,  l.quantityText,
                           l.amountText}
                   .join('|');
    // The price is paid as the lists show it: 1.2345 → 1.235; 12.35 → 12, 7.5 → 8.
    QCOMPARE(got, (QStringList{"N01|山田花子|2004-04-01|ABC-22|2.500|3|8",
                               "N01|山田花子|2004-04-02|ABC-1|1.235|10|12",
                               "N02||2004-04-03|XY|30.000|7|210"}));
    QCOMPARE(rows("SELECT * FROM wk_PersonA ORDER BY 内職者コード, 依頼日"),
             (QStringList{run + "|N01|" + run + "|山田花子|2004-04-01|ABC-22|W1|組立|2.500|3|8",
                          run + "|N01|" + run + "|山田花子|2004-04-02|ABC-1|W1|組立|1.235|10|12",
                          run + "|N02|" + run + "||2004-04-03|XY|W1|組立|30.000|7|210"}));
    // The statement adds up to what was paid.
    QCOMPARE(rows("SELECT 精算金額 FROM seisan_t ORDER BY 内職者コード"),
             (QStringList{"20", "210"}));

    // Both ABC drawings are one class, summed unrounded: 12.35 + 7.5.
    const auto classes = FillPnoTable(designateRun("2004/05/06 17:30:00"));
    QVERIFY(classes);
    QCOMPARE(classes->size(), 2);
    QCOMPARE(classes->at(0).drawingClass, "ABC");
    QCOMPARE(classes->at(0).amount().toText(), "19.85");
    QCOMPARE(classes->at(0).quantity, 13);
    QCOMPARE(rows("SELECT * FROM wk_PnoAccount ORDER BY 製品図番区分"),
             (QStringList{"2004-05-06|ABC|19.85|13", "2004-05-06|XY|210|7"}));
}

void TestWorkTables::cancelledRunOrFailedFillLeavesTablesAlone() {
    TestDatabase db;
    addSlip("S1", "N01", "ABC-1", "W1", 0, 10);
    settleAt(QDateTime(QDate(2004, 5, 6), QTime(17, 30)));
    execSql("INSERT INTO wk_PersonA (精算日時, 内職者コード) VALUES ('old', 'old')");
    execSql("INSERT INTO wk_PnoAccount (精算日, 製品図番区分) VALUES ('old', 'old')");
    const QStringList before = dump();

    // A failing insert rolls the emptied table back.
    execSql(refusal("INSERT ON wk_PersonA", "line"));
    bool failed = false;
    try {
        FillStatementTable(designateRun("2004/05/06"));
    } catch (const AppError& e) {
        failed = e.text().contains("line refused");
    }
    QVERIFY(failed);
    execSql(EngineSql{"DROP TRIGGER refuse_line", "DROP TRIGGER refuse_line ON wk_PersonA"});
    QCOMPARE(dump(), before);

    CancelSettlement(criteria("2004/04/01", "2004/04/30"));
    const QStringList cancelled = dump();
    QVERIFY(!FillStatementTable(designateRun("2004/05/06")));
    QVERIFY(!FillPnoTable(designateRun("2004/05/06 17:30:00")));
    QVERIFY(!FillPnoTable(designateRun("2004/05/06 17:30")));
    QVERIFY(!FillPnoTable(designateRun("")));
    QCOMPARE(dump(), cancelled);
}

void TestWorkTables::designationPicksTheLatestRunOfTheWholeDay() {
    TestDatabase db;
    addSlip("S1", "N01");
    settleAt(QDateTime(QDate(2004, 5, 6), QTime(0, 0, 0)));
    QCOMPARE(*FindSettlementRun(designateRun("20040506")),
             QDateTime(QDate(2004, 5, 6), QTime(0, 0, 0)));
    addSlip("S2", "N02");
    addSlip("S3", "N03");
    settleAt(QDateTime(QDate(2004, 5, 6), QTime(23, 59, 59)));
    QCOMPARE(*FindSettlementRun(designateRun("2004/05/06")),
             QDateTime(QDate(2004, 5, 6), QTime(23, 59, 59)));
    QCOMPARE(*FindSettlementRun(designateRun("2004/05/06 00:00:00")),
             QDateTime(QDate(2004, 5, 6), QTime(0, 0, 0)));
    QVERIFY(!FindSettlementRun(designateRun("2004/05/07")));
    QVERIFY(!FindSettlementRun(designateRun("2004/05/06 12:00:00")));

    // The screen's list: every run of the day, newest first; cancelled rows on request.
    CancelSettlement(criteria("2004/04/01", "2004/04/30", "N03", "N03"));
    QStringList listed;
    for (const SettlementRow& r : LoadSettlementList(designateRun("2004/05/06"), true))
        listed << r.runText + " " + r.workerCode + (r.deleted ? " 削除" : "");
    QCOMPARE(listed, (QStringList{"2004/05/06 23:59:59 N02", "2004/05/06 23:59:59 N03 削除",
                                  "2004/05/06 00:00:00 N01"}));
    QCOMPARE(LoadSettlementList(designateRun("2004/05/06"), false).size(), 2);
    const QList<SettlementRow> cash =
        SettlementRowsOfRun(QDateTime(QDate(2004, 5, 6), QTime(23, 59, 59)));
    QCOMPARE(cash.size(), 1);
    QCOMPARE(cash[0].workerCode, "N02");
}

void TestWorkTables::cashBreakdownAddsBackToTheAmount() {
    using Counts = std::array<qint64, 9>;
    QCOMPARE(breakDownCash(18765), (Counts{1, 1, 3, 1, 2, 1, 1, 1, 0}));
    QCOMPARE(breakDownCash(9), (Counts{0, 0, 0, 0, 0, 0, 0, 1, 4}));
    QCOMPARE(breakDownCash(0), (Counts{}));
    for (Yen amount :
         {Yen(1), Yen(4999), Yen(123456789012), Yen(-18765), std::numeric_limits<Yen>::max()}) {
        const Counts counts = breakDownCash(amount);
        __int128 sum = 0;
        for (size_t i = 0; i < counts.size(); ++i) {
            sum += __int128(counts[i]) * kCashDenominations[i];
            if (i > 0) // never as many of a kind as would make the next larger one
                QVERIFY(std::abs(counts[i] * kCashDenominations[i]) < kCashDenominations[i - 1]);
        }
        QVERIFY(sum == amount);
    }
}

QTEST_GUILESS_MAIN(TestWorkTables)
#include "test_worktables.moc"
