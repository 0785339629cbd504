#include "core/numberformat.h"
#include "core/screens/messagebox.h"
#include "settlement/screens/frmatest.h"
#include "settlement/trialprint.h"
#include "settlementscreenfixture.h"
#include "support/guitest.h"
#include "support/pdftools.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>

using namespace SettlementScreen;

namespace {

TrialRow trialRow(const QString& slip, const QString& code, const QString& name, const QString& pno,
                  qint64 priceTenThousandths, qint64 quantity) {
    TrialRow r;
    r.slipNumber = slip;
    r.workerCode = code;
    r.workerName = name;
    r.drawingNumber = pno;
    r.workCode = QStringLiteral("W1");
    r.workItem = QStringLiteral("組立");
    r.price = UnitPrice::fromTenThousandths(priceTenThousandths);
    r.quantity = quantity;
    r.amount = amountOf(r.price, quantity);
    r.priceText = r.price.text(NumberPattern::PriceList);
    r.quantityText = FormatNumber(quantity, NumberPattern::Count);
    r.amountText = FormatNumber(r.amount, NumberPattern::AmountList);
    return r;
}

// Two home-workers with two slips each; 12.5 × 3 is paid (and shown) as 38.
QList<TrialRow> twoByTwo() {
    return {trialRow("040401-001", "N01", QStringLiteral("山田　花子"), "P-100", 125000, 10),
            trialRow("040401-002", "N01", QStringLiteral("山田　花子"), "P-200", 125000, 3),
            trialRow("040401-003", "N02", QStringLiteral("佐藤　一郎"), "P-100", 1234567890, 1200),
            trialRow("040401-004", "N02", QStringLiteral("佐藤　一郎"), "P-300", 300000, 7)};
}

QString printedText(const QList<TrialRow>& rows, int linesPerPage = 34) {
    frmATest screen(nullptr, rows);
    return trialPrintText(trialPrintPages(trialPrintLines(screen.gridTexts()), linesPerPage));
}

// The lines of a printed text without the page marks.
QStringList printedLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("===")); });
    lines.removeLast(); // after the final line break
    return lines;
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
        const QString text = printedText(twoByTwo());
        QFile file(QStringLiteral(TARVEL_GOLDEN_DIR "/trial.txt"));
        if (qEnvironmentVariableIsSet("TARVEL_UPDATE_GOLDEN")) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(text.toUtf8());
            return;
        }
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QStringList expected = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        const QStringList actual = text.split(QLatin1Char('\n'));
        for (int i = 0; i < std::max(expected.size(), actual.size()); ++i)
            QVERIFY2(expected.value(i) == actual.value(i),
                     qPrintable(QStringLiteral("line %1:\n  expected: %2\n  actual:   %3")
                                    .arg(i + 1)
                                    .arg(expected.value(i, "<end>"), actual.value(i, "<end>"))));
    }

    void subtotalLinesFollowEachHomeWorker_data() {
        QTest::addColumn<int>("slipsOfFirst");
        QTest::addColumn<int>("slipsOfSecond");
        QTest::addColumn<QString>("shape"); // h heading, d slip, s "計", e empty line
        QTest::newRow("no slips") << 0 << 0 << "h";
        QTest::newRow("two by two") << 2 << 2
                                    << "hddsedd"
                                       "se";
        QTest::newRow("one home-worker") << 3 << 0 << "hdddse";
        // 20 rows fill the grid: no empty row ends the list.
        QTest::newRow("grid full")
            << 12 << 8 << "h" + QString(12, 'd') + "se" + QString(8, 'd') + "se";
    }

    void subtotalLinesFollowEachHomeWorker() {
        QFETCH(int, slipsOfFirst);
        QFETCH(int, slipsOfSecond);
        QList<TrialRow> rows;
        for (int i = 0; i < slipsOfFirst + slipsOfSecond; ++i) {
            const bool first = i < slipsOfFirst;
            rows << trialRow(QStringLiteral("S%1").arg(i), first ? "N01" : "N02", "名前", "P-1",
                             first ? 1000000 : 25000, 1);
        }
        QString shape;
        qint64 subtotalOfFirst = -1;
        for (const QString& line : printedLines(printedText(rows))) {
            if (line.isEmpty())
                shape += 'e';
            else if (line.startsWith("0[内職者コード]"))
                shape += 'h';
            else if (line.startsWith("12190.5[              計]")) {
                shape += 's';
                if (subtotalOfFirst < 0)
                    subtotalOfFirst =
                        line.section('[', 2).remove(']').remove(',').trimmed().toLongLong();
            } else
                shape += 'd';
        }
        QTEST(shape, "shape");
        if (slipsOfFirst > 0)
            QCOMPARE(subtotalOfFirst, qint64(100) * slipsOfFirst);
    }

    void longListsGoOnNextPages() {
        QList<TrialRow> rows;
        for (int i = 0; i < 40; ++i)
            rows << trialRow(QStringLiteral("S%1").arg(i), "N01", "名前", "P-1", 10000, 1);
        const QString text = printedText(rows, 30);
        QVERIFY(text.startsWith("=== 1 / 2 ===\n0[内職者コード]"));
        QVERIFY(text.contains("=== 2 / 2 ===\n"));
        QCOMPARE(printedLines(text).size(), 1 + 40 + 2);
    }

    void printAsksThenWritesThePdf() {
        TestDatabase db(QDateTime(QDate(2026, 4, 1), QTime(9, 30, 5)));
        db.writeIni(QStringLiteral("[Print]\nOutput=pdf\n"));
        frmATest screen(nullptr, twoByTwo());
        QVERIFY(GuiTest::showActive(&screen));
        QCOMPARE(GuiTest::unnamedFields(&screen), QStringList());
        QCOMPARE(grid(&screen)->rows(), 15);
        const QString pdf = db.dirPath() + "/print/trial-20260401-093005.pdf";

        MessageBox::setNextAnswer(MessageBox::Answer::No);
        button(&screen, "cmdPrint")->click();
        QCOMPARE(MessageBox::shown().first().text, QStringLiteral("印刷しますか"));
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::YesNo);
        QVERIFY(!QFile::exists(pdf));

        MessageBox::clearShown();
        MessageBox::setNextAnswer(MessageBox::Answer::Yes);
        button(&screen, "cmdPrint")->click();
        QVERIFY2(QFile::exists(pdf), qPrintable(shownTexts().join('\n')));
        if (!PdfTools::missing({"pdftotext"}).isEmpty())
            QSKIP("poppler-utils missing");
        const PdfTools::Info info = PdfTools::info(pdf);
        QCOMPARE(info.pages, 1);
        QVERIFY(info.size.width() > info.size.height()); // landscape
        QStringList texts;
        for (const PdfTools::Word& w : PdfTools::words(pdf))
            texts << w.text;
        QCOMPARE(texts.count("計"), 3); // two subtotals, and the heading 合　計
        QVERIFY(texts.contains("163"));
        QVERIFY(texts.contains("148,148,357")); // 123,456.789 × 1,200 rounded, + 30 × 7
    }
};

QTEST_MAIN(TestTrialScreen)
#include "test_trial_screen.moc"
