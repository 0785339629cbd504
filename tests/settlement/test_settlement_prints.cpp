#include "core/clock.h"
#include "core/numberformat.h"
#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "settlement/screens/frmatest.h"
#include "settlement/screens/settlementprinting.h"
#include "settlement/settlementrun.h"
#include "settlement/trialprint.h"
#include "settlementfixtures.h"
#include "settlementscreenfixture.h"
#include "support/golden.h"
#include "support/guitest.h"
#include "support/pdftools.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace SettlementScreen;
using namespace SettlementFixtures;

namespace {

TrialRow trialRow(const QString& code, const QString& pno, qint64 priceTenThousandths,
                  qint64 quantity) {
    TrialRow r;
    r.slipNumber = "S-" + pno;
    r.workerCode = code;
    r.workerName = code == "N01" ? "山田　花子" : "佐藤　一郎";
    r.drawingNumber = pno;
    r.workCode = "W1";
    r.workItem = "組立";
    r.price = UnitPrice::fromTenThousandths(priceTenThousandths);
    r.quantity = quantity;
    r.amount = amountOf(r.price, quantity);
    r.priceText = r.price.text(NumberPattern::PriceList);
    r.quantityText = formatNumber(quantity, NumberPattern::Count);
    r.amountText = formatNumber(r.amount, NumberPattern::AmountList);
    return r;
}

// Two home-workers with two slips each; 12.5 × 1 is paid, and shown, as 12.
QList<TrialRow> twoByTwo() {
    return {trialRow("N01", "P-100", 125000, 10), trialRow("N01", "P-200", 125000, 1),
            trialRow("N02", "P-100", 1234567890, 1200), trialRow("N02", "P-300", 300000, 7)};
}

QString printedText(const QList<TrialRow>& rows) {
    frmATest screen(nullptr, rows);
    return trialPrintText(trialPrintPages(trialPrintLines(screen.gridTexts()), 34),
                          {QDate(2026, 7, 1), QDate(2026, 7, 31), QDate(2026, 8, 3)});
}

const QDateTime kRun(QDate(2004, 5, 6), QTime(17, 30, 0));

// Three home-workers, entered out of code order.
void settleThreeHomeWorkers() {
    addWorker("N03", "鈴木次郎");
    addWorker("N01", "山田花子");
    addWorker("N02", "佐藤一郎");
    addWorkCode("W1", "組立");
    addPrice(1, "ABC-1", "W1", "N01", 1.2345, "2004/01/01");
    addPrice(2, "ABC-22", "W1", "N01", 2.5, "2004/01/01");
    addPrice(3, "XY-9", "W1", "N02", 187.65, "2004/01/01");
    addPrice(4, "ABC-1", "W1", "N03", 3086.2, "2004/01/01");
    addSlip("S1", "N01", "ABC-1", "W1", 0, 10, "2004/04/02");
    addSlip("S2", "N01", "ABC-22", "W1", 0, 3, "2004/04/01");
    addSlip("S3", "N02", "XY-9", "W1", 0, 100, "2004/04/03");
    addSlip("S4", "N03", "ABC-1", "W1", 0, 10, "2004/04/03");
    Clock::setFixed(kRun);
    RunSettlement(criteria("2004/04/01", "2004/04/30"));
    Clock::setFixed(QDateTime(QDate(2004, 5, 7), QTime(8, 0)));
}

} // namespace

// The trial list and the prints of a settlement run.
class TestSettlementPrints : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }
    void init() { MessageBox::clearShown(); }

    void preparationsTakeTheLiveRunOnly() {
        TestDatabase db;
        settleThreeHomeWorkers();

        const auto statement = prepareStatementPrint("20040506");
        QVERIFY(statement);
        QCOMPARE(statement->run, kRun);
        QCOMPARE(statement->lines.size(), 4);

        // The cash table in code order (entered otherwise), paying what the run
        // pays with tax; the breakdown's own arithmetic is the work tables' test.
        const auto cash = prepareCashPrint("2004/05/06");
        QVERIFY(cash);
        QCOMPARE(cash->timeStampText, "2004/05/06 17:30:00");
        QStringList codes;
        Yen total = 0;
        for (const CashLine& line : cash->lines) {
            codes << line.workerCode;
            total += line.amount;
        }
        QCOMPARE(codes, (QStringList{"N01", "N02", "N03"}));
        QCOMPARE(cash->lines[1].counts, (CashCounts{1, 1, 4, 1, 2, 0, 0, 0, 3})); // 18,765 + 938
        QCOMPARE(QString::number(total), rows("SELECT SUM(合計金額) FROM seisan_t").value(0));
        QCOMPARE(statement->settled.value("N02").total, cash->lines[1].amount);
        // An office that pays without tax counts out the amounts.
        db.writeIni("[Print]\nPayAmount=amount\n");
        total = 0;
        const auto withoutTax = prepareCashPrint("2004/05/06");
        for (const CashLine& line : withoutTax->lines)
            total += line.amount;
        QCOMPARE(QString::number(total), rows("SELECT SUM(精算金額) FROM seisan_t").value(0));

        QCOMPARE(prepareClassPrint("2004/05/06 17:30:00")->lines.size(), 2); // ABC, XY-

        // Taken back: none of the three prints, by day or by time stamp.
        CancelSettlement(criteria("2004/04/01", "2004/04/30"));
        for (const QString text : {"20040506", "2004/05/06", "2004/05/06 17:30:00"}) {
            QVERIFY2(!prepareStatementPrint(text), qPrintable(text));
            QVERIFY2(!prepareCashPrint(text), qPrintable(text));
            QVERIFY2(!prepareClassPrint(text), qPrintable(text));
        }
    }

    void printedFilesCarryTheRunsTimeStamp() {
        REQUIRE_PDF_TOOLS("pdftotext", "pdfinfo");
        TestDatabase db;
        db.writeIni(QStringLiteral("[User]\nName=株式会社テスト製作所\n"
                                   "[Print]\nOutput=pdf\nFolder=out\n"));
        settleThreeHomeWorkers();
        const QDir folder(QDir(db.dirPath()).filePath("out"));
        const auto pdf = [&folder](const char* kind) {
            return folder.filePath(QStringLiteral("%1-20040506-173000.pdf").arg(kind));
        };

        // Straight out into the folder of TVL.INI (the screen test counts the files and messages).
        printStatementAndCash(nullptr, *prepareStatementPrint("20040506"),
                              *prepareCashPrint("20040506"));

        // One receipt per home-worker with the company of TVL.INI; the cash
        // table landscape, dated the day of printing.
        for (const auto& [kind, pages, landscape, shows] :
             {std::tuple{"statement", 3, false, "株式会社テスト製作所殿"},
              {"cash", 1, true, "2004/05/07"}}) {
            const PdfTools::Info info = PdfTools::info(pdf(kind));
            QCOMPARE(info.pages * 10 + (info.size.width() > info.size.height()),
                     pages * 10 + landscape);
            for (int p = 1; p <= pages; ++p)
                QVERIFY2(PdfTools::textIn(PdfTools::words(pdf(kind), p), QRectF({0, 0}, info.size))
                             .contains(shows),
                         kind);
        }

        // The preview's print button writes its own file and tells once.
        MessageBox::clearShown();
        GuiTest::onNextModal([](QWidget* preview) {
            GuiTest::click(preview, "cmdPrint");
            preview->close();
        });
        previewClassList(nullptr, *prepareClassPrint("2004/05/06 17:30:00"));
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(PdfTools::textIn(PdfTools::words(pdf("classes")), QRectF(0, 0, 20000, 20000))
                    .contains("製品図番別精算金額一覧表"));
    }

    void listMatchesGoldenText() {
        const QString difference = goldenDifference("trial.txt", printedText(twoByTwo()));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        // A slip without a price in force is marked where its 0.000 stands.
        QList<TrialRow> rows = twoByTwo();
        rows[1].unpriced = true;
        frmATest screen(nullptr, rows);
        QCOMPARE(grid(&screen)->cellNote(2, 6).isEmpty(), false);
        QCOMPARE(grid(&screen)->cellNote(1, 6), QString());
    }

    void subtotalLinesFollowEachHomeWorker() {
        const QString d = goldenCases("subtotals.txt", [](const QStringList& f) {
            const int first = f[0].toInt();
            QList<TrialRow> rows;
            for (int i = 0; i < first + f[1].toInt(); ++i)
                rows << trialRow(i < first ? "N01" : "N02", QString::number(i), 1000000, 1);
            QString shape;
            for (const QString& line : printedText(rows).split('\n').mid(1, -1))
                shape += line.isEmpty()                       ? "e"
                         : line.startsWith(kTrialPrintTitle)  ? ""
                         : line.startsWith("0[内職者コード]") ? "h"
                         : line.startsWith("12190.5[              計] | 13608[")
                             ? "s" + line.section('[', 2).remove(']').trimmed()
                         : line.contains("総合計] | 13608[")
                             ? "g" + line.section('[', 2).remove(']').trimmed()
                             : "d";
            return shape.chopped(1); // after the last line break
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void printAsksThenWritesLandscapePdf() {
        TestDatabase db(QDateTime(QDate(2026, 4, 1), QTime(9, 30, 5)));
        db.writeIni("[Print]\nOutput=pdf\n");
        frmATest screen(nullptr, twoByTwo());
        QVERIFY(GuiTest::showActive(&screen));
        const QString pdf = db.dirPath() + "/print/trial-20260401-093005.pdf";
        for (MessageBox::Answer answer : {MessageBox::Answer::No, MessageBox::Answer::Yes}) {
            MessageBox::setNextAnswer(answer);
            click(&screen, "cmdPrint");
            QCOMPARE(shownTexts().first(), "印刷しますか");
            QCOMPARE(QFile::exists(pdf), answer == MessageBox::Answer::Yes);
        }
        REQUIRE_PDF_TOOLS("pdftotext", "pdfinfo");
        const PdfTools::Info info = PdfTools::info(pdf);
        QVERIFY(info.pages == 1 && info.size.width() > info.size.height());
        QStringList words;
        for (const PdfTools::Word& w : PdfTools::words(pdf))
            words << w.text;
        QCOMPARE(words.count("計"), 3);         // two subtotals, and the heading 合　計
        QVERIFY(words.contains("148,148,357")); // 123,456.789 × 1,200 rounded, + 30 × 7
    }
};

QTEST_MAIN(TestSettlementPrints)
#include "test_settlement_prints.moc"
