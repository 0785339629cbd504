#include "core/screens/appsetup.h"
#include "core/screens/reportpainter.h"
#include "settlement/screens/reports/settlementreports.h"
#include "support/golden.h"

#include <QApplication>
#include <QTest>

namespace {

const QDateTime kRun(QDate(2026, 4, 1), QTime(9, 30, 0));
const ReportContext kContext{"株式会社テスト製作所", QDate(2026, 4, 2)};
const ReportContext kWithoutTax{"株式会社テスト製作所", QDate(2026, 4, 2), PaidFigure::Amount};

StatementLine slip(const QString& code, const QString& name, QDate requested, const QString& pno,
                   const QString& wno, const QString& item, qint64 priceTenThousandths,
                   qint64 quantity) {
    StatementLine line;
    line.run = kRun;
    line.workerCode = code;
    line.workerName = name;
    line.requestDate = requested;
    line.drawingNumber = pno;
    line.workCode = wno;
    line.workItem = item;
    line.price = UnitPrice::fromTenThousandths(priceTenThousandths);
    line.quantity = quantity;
    line.amount = amountOf(line.price, quantity);
    return line;
}

// Three home-workers, given out of order.
QList<StatementLine> statementLines() {
    const QString yamada = "山田　花子";
    return {
        slip("N003", "鈴木　次郎", QDate(2026, 3, 10), "C300-01", "W03", "梱包", 12345000, 25),
        slip("N001", yamada, QDate(2026, 3, 5), "A100-02", "W02", "検査", 32500, 40),
        slip("N002", "佐藤　一郎", QDate(2026, 3, 3), "B200-10", "W01", "組立", 71250, 33),
        slip("N001", yamada, QDate(2026, 3, 2), "A100-01", "W01", "組立", 125000, 100),
        slip("N002", "佐藤　一郎", QDate(2026, 3, 3), "A100-01", "W01", "組立", 125000, 8),
        slip("N001", yamada, QDate(2026, 3, 5), "A100-01", "W02", "検査", 32500, 1),
    };
}

// What the run stored for the three: amount, tax (10 %) and total.
const QMap<QString, SettledFigures> kSettled = {
    {"N001", {1383, 138, 1521}}, {"N002", {335, 34, 369}}, {"N003", {30862, 3086, 33948}}};

QList<CashLine> cashLines(PaidFigure paid) {
    QList<CashLine> lines;
    for (const auto& [code, name] :
         {std::pair{"N003", "鈴木　次郎"}, {"N001", "山田　花子"}, {"N002", "佐藤　一郎"}}) {
        const Yen amount = kSettled[code].paid(paid);
        lines.append({code, name, amount, breakDownCash(amount)});
    }
    return lines;
}

QList<PnoLine> classLines() {
    const QDate day = kRun.date();
    // A10 comes in two rows: listed once with their sum.
    return {{day, "C30", 308625000, 25},
            {day, "A10", 12500000, 100},
            {day, "B20", 2351250, 33},
            {day, "A10", 1430000, 48}};
}

} // namespace

class TestReports : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setupApplication(*qApp); }

    void pagesMatchGoldenFiles() {
        // The total would still fit the first page but the receipt would
        // not: both go overleaf together.
        QList<StatementLine> full;
        for (int i = 0; i < 36; ++i)
            full.append(slip("N001", "山田　花子", QDate(2026, 3, 1).addDays(i), "A100-01", "W01",
                             "組立", 100000, 1));
        for (const auto& [name, report] :
             {std::pair{"statement.txt", drptAccount(statementLines(), kSettled, kContext)},
              {"statement-without-tax.txt", drptAccount(statementLines(), kSettled, kWithoutTax)},
              {"cash.txt",
               drptKinshu("2026/04/01 09:30:00", cashLines(PaidFigure::Total), kContext)},
              {"cash-without-tax.txt",
               drptKinshu("2026/04/01 09:30:00", cashLines(PaidFigure::Amount), kWithoutTax)},
              {"classes.txt", drptPnoAccount(classLines(), kContext)},
              {"statement-full.txt", drptAccount(full, {{"N001", {360, 36, 396}}}, kContext)}}) {
            const QString difference = goldenDifference(name, reportText(report));
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }
};

QTEST_MAIN(TestReports)
#include "test_reports.moc"
