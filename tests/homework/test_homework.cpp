#include "core/apperror.h"
#include "core/clock.h"
#include "core/screens/appsetup.h"
#include "core/screens/reportpainter.h"
#include "homework/ledger.h"
#include "homework/paymentwatch.h"
#include "homework/screens/ledgerreport.h"
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

    void dueDatesFollowTheTerms() {
        // Closing day, pay day ("-" for the default), received, closes, paid, limit.
        const std::pair<const char*, const char*> rows[] = {
            {"month end, 31st", "月末 翌月10日 2026-01-31 2026-01-31 2026-02-10 2026-02-28"},
            {"defaults", "- - 2026-01-15 2026-01-31 2026-02-10 2026-02-28"},
            {"leap February", "月末 翌月末日 2024-02-29 2024-02-29 2024-03-31 2024-03-31"},
            {"on the closing day", "20 翌月10日 2026-01-20 2026-01-20 2026-02-10 2026-02-20"},
            {"after the closing day", "20日 翌月10日 2026-01-21 2026-02-20 2026-03-10 2026-03-20"},
            {"December to January", "20 翌月20日 2026-12-25 2027-01-20 2027-02-20 2027-02-20"},
            {"day 31 is the month end", "31 翌月末 2026-04-30 2026-04-30 2026-05-31 2026-05-31"},
            {"closing past February's end",
             "30 翌月30日 2026-01-31 2026-02-28 2026-03-30 2026-03-30"},
            {"paid in the closing month",
             "月末 当月末日 2026-12-31 2026-12-31 2026-12-31 2027-01-31"}};
        for (const auto& [name, row] : rows) {
            const QStringList f = QString::fromUtf8(row).replace("-", "").split(' ');
            const auto d = [&](int i) { return QDate::fromString(f[i], "yyyyMMdd"); };
            const PaymentTerms terms = PaymentTerms::parse(f[0], f[1], QString(), QString());
            QVERIFY2(terms.closingFor(d(2)) == d(3) && terms.paymentDue(d(2)) == d(4) &&
                         terms.legalLimit(d(2)) == d(5),
                     name);
            // Before delivery the payment is expected for the delivery due date.
            QCOMPARE(terms.deliveryDue(day("2026-12-28")), day("2027-01-04"));
            QCOMPARE(terms.slipPaymentDue(d(2).addDays(-7), QDate()), terms.paymentDue(d(2)));
        }
    }

    void malformedTermsNameTheirKey() {
        const QList<QStringList> cases = {
            {"32", "", "", "", "Closing"},        {"末", "", "", "", "Closing"},
            {"", "来月10日", "", "", "PayDay"},   {"", "翌月32日", "", "", "PayDay"},
            {"20", "翌月25日", "", "", "PayDay"}, {"", "翌々月10日", "", "", "PayDay"},
            {"20", "当月10日", "", "", "PayDay"}, {"", "", "-1", "", "DeliveryDays"},
            {"", "", "", "yes", "HandbookSlip"}};
        for (const QStringList& c : cases)
            QVERIFY2(TestRuns::errorOf([&] {
                         PaymentTerms::parse(c[0], c[1], c[2], c[3]);
                     }).contains("[HomeWork] " + c[4]),
                     qPrintable(c.join(QLatin1Char(','))));
        TestDatabase db;
        db.writeIni(QStringLiteral(
            "[HomeWork]\nClosing=20\nPayDay=翌月末日\nDeliveryDays=5\nHandbookSlip=1\n"));
        QVERIFY_THROWS_EXCEPTION(AppError, PaymentTerms::read()); // 末日 is after the 20th
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
};

QTEST_MAIN(TestHomework)
#include "test_homework.moc"
