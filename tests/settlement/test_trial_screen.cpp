#include "core/numberformat.h"
#include "settlement/screens/frmatest.h"
#include "settlement/trialprint.h"
#include "settlementscreenfixture.h"
#include "support/golden.h"
#include "support/guitest.h"
#include "support/pdftools.h"
#include "support/testdatabase.h"

#include <QFile>

using namespace SettlementScreen;

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
    r.quantityText = FormatNumber(quantity, NumberPattern::Count);
    r.amountText = FormatNumber(r.amount, NumberPattern::AmountList);
    return r;
}

// Two home-workers with two slips each; 12.5 × 1 is paid, and shown, as 12.
QList<TrialRow> twoByTwo() {
    return {trialRow("N01", "P-100", 125000, 10), trialRow("N01", "P-200", 125000, 1),
            trialRow("N02", "P-100", 1234567890, 1200), trialRow("N02", "P-300", 300000, 7)};
}

QString printedText(const QList<TrialRow>& rows) {
    frmATest screen(nullptr, rows);
    return trialPrintText(trialPrintPages(trialPrintLines(screen.gridTexts()), 34));
}

} // namespace

class TestTrialScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
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

    // h heading, d slip, s "計" line, e empty line.
    void subtotalLinesFollowEachHomeWorker_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("shape");
        QTest::newRow("no slips") << 0 << 0 << "h";
        QTest::newRow("one home-worker") << 3 << 0 << "hdddse";
        // 20 slips fill the grid: no empty row ends the list.
        QTest::newRow("grid full")
            << 12 << 8 << "h" + QString(12, 'd') + "se" + QString(8, 'd') + "se";
    }

    void subtotalLinesFollowEachHomeWorker() {
        QFETCH(int, first);
        QFETCH(int, second);
        QList<TrialRow> rows;
        for (int i = 0; i < first + second; ++i)
            rows << trialRow(i < first ? "N01" : "N02", QString::number(i), 1000000, 1);
        QString shape;
        for (const QString& line : printedText(rows).split('\n').mid(1, -1)) {
            shape += line.isEmpty()                                          ? "e"
                     : line.startsWith("0[内職者コード]")                    ? "h"
                     : line.startsWith("12190.5[              計] | 13608[") ? "s"
                                                                             : "d";
            if (shape.endsWith('s'))
                QCOMPARE(line.section('[', 2).remove(']').remove(',').trimmed().toInt(),
                         100 * (shape.count('s') == 1 ? first : second));
        }
        shape.chop(1); // after the last line break
        QTEST(shape, "shape");
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

QTEST_MAIN(TestTrialScreen)
#include "test_trial_screen.moc"
