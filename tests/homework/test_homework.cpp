#include "core/clock.h"
#include "core/screens/appsetup.h"
#include "core/screens/reportpainter.h"
#include "homework/ledger.h"
#include "homework/paymentwatch.h"
#include "homework/screens/ledgerreport.h"
#include "homework/screens/yearlyreport.h"
#include "homework/yearlystatement.h"
#include "settlement/incomewatch.h"
#include "slips/slipfixtures.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QApplication>
#include <QTest>

using SlipFixtures::addSlip;

namespace {

QDate day(const char* iso) {
    return QDate::fromString(QString::fromLatin1(iso), Qt::ISODate);
}

void addRun(const char* at, const char* person, Yen amount, bool cancelled) {
    execSql(QStringLiteral(
                "INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日, 精算対象最終日,"
                " 精算対象伝票枚数, 精算金額, 消費税, 合計金額, 削除フラグ)"
                " VALUES (?, ?, '2026-01-01', '2026-01-31', 1, ?, ?, ?, ?)"),
            {QString::fromLatin1(at), QString::fromLatin1(person), amount, amount / 10,
             amount + amount / 10, cancelled ? 1 : 0});
}

} // namespace

class TestHomework : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setupApplication(*qApp); }

    void termsGiveTheDueDatesOrNameTheirKey() {
        const QString d = goldenCases("terms.txt", [](const QStringList& f) {
            const auto field = [&f](int i) { return f[i] == "-" ? QString() : f[i]; };
            PaymentTerms t;
            const QString error = TestRuns::errorOf(
                [&] { t = PaymentTerms::parse(field(0), field(1), field(2), field(3)); });
            if (error != "(no error)")
                return QString(error).replace('\n', " / ");
            const QDate got = day(qPrintable(f[4]));
            const auto iso = [](const QDate& d) { return d.toString(Qt::ISODate); };
            return QStringList{t.describe(),
                               iso(t.closingFor(got)),
                               iso(t.paymentDue(got)),
                               iso(t.legalLimit(got)),
                               iso(t.deliveryDue(day("2026-12-28"))),
                               iso(t.slipPaymentDue(got.addDays(-7), QDate()))}
                .join(" ; ");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
        TestDatabase db; // the keys read from TVL.INI
        db.writeIni(QStringLiteral(
            "[HomeWork]\nClosing=20\nPayDay=翌月20日\nDeliveryDays=5\nHandbookSlip=1\n"));
        const PaymentTerms t = PaymentTerms::read();
        QCOMPARE(t.describe(), QStringLiteral("20日締め翌月20日払い"));
        QVERIFY(t.handbookSlip && t.deliveryDays == 5);
    }

    void lateAndNearPaymentsAreCountedAtTheBoundaryDays() {
        TestDatabase db;
        addSlip({.no = "260227-001", .deliveredOn = "2026-02-27", .delivered = 10}); // limit 03-31
        addSlip({.no = "260302-001", .deliveredOn = "2026-03-02", .delivered = 10}); // limit 04-30
        addSlip(
            {.no = "260201-001", .deliveredOn = "2026-02-01", .settledAt = "2026-03-01 10:00:00"});
        addSlip({.no = "260201-002", .deliveredOn = "2026-02-01", .deleted = true});
        addSlip({.no = "260201-003"}); // not delivered
        const PaymentTerms terms;
        // Today, then the slips overdue and due soon.
        for (const QString c : {"2026-03-23 0 0", "2026-03-24 0 1", "2026-03-31 0 1",
                                "2026-04-01 1 0", "2026-04-23 1 1", "2026-05-01 2 0"}) {
            Clock::setFixed(QDateTime(QDate::fromString(c.left(10), Qt::ISODate), QTime(9, 0)));
            const PaymentWatch w = watchPayments(terms, Clock::today());
            QCOMPARE(QStringLiteral("%1 %2 %3").arg(c.left(10)).arg(w.overdue).arg(w.dueSoon), c);
        }
        const PaymentWatch all = watchPayments(terms, Clock::today());
        QCOMPARE(all.overdueLine(),
                 QStringLiteral(
                     "支払期限を過ぎた未精算の伝票が 2 枚あります（最も古い納入日 2026/02/27）"));
        QCOMPARE(all.overdueDeliveredUpTo, day("2026-03-02"));
        const PaymentWatch march =
            watchPayments(terms, Clock::today(), day("2026-03-01"), day("2026-03-31"));
        QCOMPARE(march.overdue, 1);
        QCOMPARE(march.oldestOverdueDelivery, day("2026-03-02"));
    }

    void ledgerPagesMatchTheGoldenFile() {
        TestDatabase db;
        execSql(QStringLiteral(
            "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 生年月日, 住所, 性別,"
            " 作業場所在地, 削除フラグ) VALUES"
            " ('N01', '山田花子', '1960-05-03', '東京都大田区1-2-3', '女',"
            " '東京都大田区4-5-6', 0), ('N02', '佐藤一郎', NULL, '川崎市', '', '', 1)"));
        execSql(QStringLiteral("INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES "
                               "('W1', '組立作業', 0)"));
        addSlip({.no = "260105-001",
                 .requested = "2026-01-05",
                 .deliveredOn = "2026-01-12",
                 .settledAt = "2026-01-31 17:00:00",
                 .price = 12.5,
                 .issued = 100,
                 .delivered = 60});
        addSlip({.no = "260120-001",
                 .requested = "2026-01-20",
                 .deliveredOn = "2026-02-02",
                 .settledAt = "2026-03-05 17:00:00",
                 .price = 8.25,
                 .issued = 50,
                 .delivered = 50});
        addSlip({.no = "260210-001", .requested = "2026-02-10", .price = 8.25, .issued = 30});
        addSlip({.no = "260211-001", .requested = "2026-02-11", .deleted = true});
        addSlip({.no = "260212-001", .person = "N02", .requested = "2026-02-12", .issued = 5});
        addSlip({.no = "251201-001", .requested = "2025-12-01", .issued = 5}); // before the period
        addRun("2026-01-31 17:00:00", "N01", 750, false);
        addRun("2026-02-28 17:00:00", "N01", 413, true);
        addRun("2026-03-05 17:00:00", "N01", 413, false);
        const LedgerSelection s{day("2026-01-01"), day("2026-12-31"), "N01", "N02"};
        const PaymentTerms terms = PaymentTerms::parse("20", "翌月10日", "7", "");
        const QString text =
            reportText(ledgerReport(loadLedger(s, terms), s, "株式会社テスト製作所"));
        const QString difference = goldenDifference(QStringLiteral("ledger.txt"), text);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        const LedgerSelection one{s.first, s.last, "N02", ""};
        QCOMPARE(loadLedger(one, terms).size(), 1); // the range, a deleted worker included
    }

    void yearlyStatementsCountLiveRunsByTheirMonth() {
        TestDatabase db;
        execSql(QStringLiteral("INSERT INTO naishoku_m (内職者コード, 内職者氏名, 郵便番号, 住所,"
                               " 削除フラグ) VALUES ('N01', '山田花子', '144-0001',"
                               " '東京都大田区1-2-3', 0), ('N02', '佐藤一郎', '', '川崎市', 0)"));
        addRun("2026-03-05 17:00:00", "N01", 1000, false);
        addRun("2026-03-25 17:00:00", "N01", 2000, false); // the same month
        addRun("2026-04-10 17:00:00", "N01", 500, true);   // cancelled
        addRun("2025-12-31 23:59:59", "N01", 700, false);  // the year before
        addRun("2026-12-31 23:59:59", "N02", 10000, false);
        const QList<IncomeLine> lines = IncomeLines::parse("3300:扶養A, 3301:扶養B");
        const QList<YearlyStatement> year = loadYearlyStatements({2026, "", ""}, lines);
        const QString text = reportText(yearlyReport(year, {"株式会社テスト製作所", "大田区9-9"}));
        const QString difference = goldenDifference(QStringLiteral("yearly.txt"), text);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        // N01's 3,300 reaches the first line at its very yen, not the second.
        QCOMPARE(year.at(0).crossedLines, QStringList{"扶養A（3,300円）"});

        // Before a settlement: the year so far (3,300) plus this run (100 + 10 % tax).
        PriceFixtures::addLine(1, "P-100", "W1", "N01", 10, "2026/01/01");
        addSlip({.no = "260320-001", .deliveredOn = "2026-03-20", .delivered = 10});
        SettlementCriteria march;
        march.firstDay = day("2026-03-01");
        march.lastDay = day("2026-03-31");
        const QList<IncomeCrossing> crossings =
            incomeCrossings(march, IncomeLines::parse("3300:既に,3410:ちょうど,3411:一円上"),
                            Clock::today(), legalTaxRules());
        QCOMPARE(crossings.size(), 1);
        QCOMPARE(crossings[0].describe(),
                 QStringLiteral("N01 山田花子 3,300円 → 3,410円: ちょうど（3,410円）"));
        QVERIFY(TestRuns::errorOf([] { IncomeLines::parse("130万:扶養"); }).contains("130万"));
    }
};

QTEST_MAIN(TestHomework)
#include "test_homework.moc"
