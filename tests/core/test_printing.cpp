#include "core/apperror.h"
#include "core/screens/appsetup.h"
#include "core/screens/bandedreport.h"
#include "core/screens/fields.h"
#include "core/screens/messagebox.h"
#include "core/screens/printoutput.h"
#include "core/screens/reportpainter.h"
#include "core/screens/reportpreview.h"
#include "support/golden.h"
#include "support/guitest.h"
#include "support/pdftools.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A4 portrait with 10 mm margins all round.
const QPageLayout kLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                          QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);

ReportBand textBand(int height, const QString& text) {
    ReportBand band(height);
    band.text(QRect(0, 0, 3000, height), text, reportFont("ＭＳ ゴシック", 10));
    return band;
}

// Page header "p / P"; groups of varied length whose headers start no new
// page, so that bands fall at every position of a page.
BandedReport sampleReport(int groups) {
    BandedReport report;
    report.setTitle("見本");
    report.setPageHeader(textBand(900, "頁 %p / %P"));
    for (int g = 0; g < groups; ++g) {
        ReportBand header = textBand(700, QStringLiteral("組 %1").arg(g));
        header.setKeepWithNext(true);
        report.beginGroup(header);
        for (int d = 0; d < 5 + 7 * g; ++d)
            report.addDetail(textBand(330, QStringLiteral("行 %1-%2").arg(g).arg(d)));
        report.endGroup(textBand(2500, QStringLiteral("計 %1").arg(g)));
    }
    report.setReportFooter(textBand(1200, "総計"));
    return report;
}

} // namespace

// Documents out to files, and reports paged and previewed.
class TestPrinting : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }
    void init() { MessageBox::clearShown(); }

    void settingsComeFromThePrintSection() {
        TestDatabase db;
        const QString d = goldenCases("printsettings.txt", [&db](const QStringList& f) {
            db.writeIni(QString(f[0]).replace("\\n", "\n") + '\n');
            const PrintSettings s = PrintSettings::read();
            return (s.pdf ? "pdf " : "printer ") + QString(s.folder).replace(db.dirPath(), "<ini>");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void withoutAPrinterDocumentsBecomeFiles() {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a default printer; the test would print on it");
        TestDatabase db;
        db.writeIni(QString());
        QVERIFY(PrintRun().toPdf());
    }

    void aDocumentIsWrittenInTwipsAndAppearsOnlyWhenComplete() {
        REQUIRE_PDF_TOOLS("pdftotext", "pdfinfo");
        TestDatabase db;
        db.writeIni("[Print]\nOutput=pdf\nFolder=out\n");
        const QString folder = QDir(db.dirPath()).filePath("out");
        const QString path = QDir(folder).filePath("a_b.pdf");
        PrintRun run;
        QVERIFY(run.toPdf());
        {
            PrintDocument doc(run, "a/b", kLayout);
            scaleToTwips(doc.painter());
            doc.painter().setFont(printFont("ＭＳ Ｐ明朝", 12));
            doc.painter().drawText(QPointF(1440, 2880), "一頁目");
            doc.newPage();
            doc.painter().drawText(QPointF(2880, 720), "二頁目");
            QCOMPARE(entries(folder).filter("a_b.pdf"), QStringList());
            doc.finish();
        }
        QCOMPARE(entries(folder), QStringList({"a_b.pdf"}));
        QCOMPARE(run.pdfFiles(), QStringList({path}));
        QCOMPARE(PdfTools::info(path).pages, 2);
        const QList<PdfTools::Word> words = PdfTools::words(path);
        QCOMPARE(words.size(), 1);
        // 10 mm of margin is 567 twips; the baseline sits below the top of the text.
        QVERIFY2(qAbs(words[0].box.left() - (567 + 1440)) < 10, "left in twips inside the margin");
        QVERIFY(words[0].box.top() < 567 + 2880 && words[0].box.bottom() > 567 + 2880 - 100);
        const PdfTools::Word second = PdfTools::words(path, 2).value(0);
        QCOMPARE(second.text, "二頁目");
        QVERIFY2(qAbs(second.box.left() - (567 + 2880)) < 10, "the scale holds on the next page");

        // Abandoned: the older file of the name stays as it was, nothing else is left.
        const QString old = QDir(folder).filePath("x.pdf");
        QVERIFY(TestRuns::writeBytes(old, "old"));
        {
            PrintDocument doc(run, "x", kLayout);
            doc.painter().drawText(QPointF(0, 720), "途中");
        }
        QCOMPARE(TestRuns::fileBytes(old), QByteArray("old"));
        QCOMPARE(entries(folder), QStringList({"a_b.pdf", "x.pdf"}));
        QCOMPARE(run.pdfFiles().size(), 1);

        run.tellUser(nullptr); // its text is the slip print's test
        QCOMPARE(MessageBox::shown().size(), 1);
        MessageBox::clearShown();
        PrintRun idle;
        idle.tellUser(nullptr);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void pagesHoldWholeBandsUnderTheirHeader() {
        // Each page as it reads, then where its bands start (twips below
        // the top of the body; the page header first).
        const BandedReport report = sampleReport(6);
        QString text = reportText(report);
        for (const ReportPage& page : report.pages()) {
            text += QStringLiteral("tops:");
            for (const PlacedBand& placed : page.bands)
                text += QStringLiteral(" %1").arg(placed.top);
            text += '\n';
        }
        const QString d = goldenDifference("sample.txt", text);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void groupHeaderStartsAPageOrKeepsWithItsLineAndATallBandStillGetsOne() {
        BandedReport report;
        const int bodyHeight = report.bodyTwips().height();
        report.beginGroup(textBand(500, "A"), true);
        report.addDetail(textBand(330, "a"));
        report.beginGroup(textBand(500, "B"), true);
        report.addDetail(textBand(bodyHeight + 1000, "b"));
        report.addDetail(textBand(330, "c"));
        report.addDetail(textBand(bodyHeight - 330 - 600, "d"));
        ReportBand header = textBand(500, "E"); // fits, but not with its line
        header.setKeepWithNext(true);
        report.beginGroup(header);
        report.addDetail(textBand(330, "e"));
        QCOMPARE(reportText(report), QStringLiteral("=== 1 / 5 ===\nA\na\n"
                                                    "=== 2 / 5 ===\nB\n"
                                                    "=== 3 / 5 ===\nb\n"
                                                    "=== 4 / 5 ===\nc\nd\n"
                                                    "=== 5 / 5 ===\nE\ne\n"));
    }

    void exportReadsRowsLeftToRight() {
        BandedReport report;
        ReportBand band(600);
        const QFont font = reportFont("ＭＳ ゴシック", 10);
        band.text(QRect(4000, 0, 1000, 300), "右", font);
        band.text(QRect(0, 0, 1000, 300), "左", font);
        band.text(QRect(0, 300, 1000, 300), "下", font);
        band.rule(0, 300, 5000);
        band.text(QRect(2000, 100, 1000, 100), "中", font); // same middle
        report.addDetail(band);
        QCOMPARE(reportText(report), "=== 1 / 1 ===\n左 | 中 | 右\n下\n");
    }

    void previewTurnsPagesByKeyAndPrints() {
        const BandedReport report = sampleReport(6);
        const int count = report.pageCount();
        int printed = 0;
        ReportPreview preview(report, nullptr,
                              [&](const BandedReport& r) { printed += &r == &report; });
        QVERIFY(GuiTest::showActive(&preview));

        const std::pair<Qt::Key, int> keys[] = {{Qt::Key_PageDown, 1},
                                                {Qt::Key_End, count - 1},
                                                {Qt::Key_PageDown, count - 1}, // stays
                                                {Qt::Key_PageUp, count - 2},
                                                {Qt::Key_Home, 0}};
        for (const auto& [key, index] : keys) {
            GuiTest::press(key);
            QCOMPARE(GuiTest::child<QLabel>(&preview, "lblPage")->text(),
                     QStringLiteral("%1 / %2").arg(index + 1).arg(count));
        }

        auto* image = preview.findChild<QLabel*>("lblPageImage");
        const int zoom = preview.zoomPercent();
        const int width = image->pixmap().width();
        GuiTest::press(Qt::Key_Plus);
        QVERIFY(preview.zoomPercent() > zoom && image->pixmap().width() > width);
        GuiTest::press(Qt::Key_Minus);
        QCOMPARE(preview.zoomPercent(), zoom);

        preview.findChild<QPushButton*>("cmdPrint")->click();
        QCOMPARE(printed, 1);
        GuiTest::press(Qt::Key_Escape);
        QVERIFY(!preview.isVisible());
    }
};

QTEST_MAIN(TestPrinting)
#include "test_printing.moc"
