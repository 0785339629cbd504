#include "core/screens/appsetup.h"
#include "core/screens/bandedreport.h"
#include "core/screens/fields.h"
#include "core/screens/reportpainter.h"
#include "core/screens/reportpreview.h"
#include "support/guitest.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

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

class TestBandedReport : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setupApplication(*qApp); }

    void pagesHoldWholeBandsUnderTheirHeader() {
        const BandedReport report = sampleReport(6);
        const int bodyHeight = report.bodyTwips().height();
        const QList<ReportPage>& pages = report.pages();
        QVERIFY(pages.size() >= 3);

        int next = 0; // every body band exactly once, in order
        int groupHeaders = 0;
        for (const ReportPage& page : pages) {
            QCOMPARE(page.bands.first().index, PlacedBand::PageHeaderIndex);
            QCOMPARE(page.bands.first().top, 0);
            int bottom = 0;
            for (const PlacedBand& placed : page.bands) {
                QVERIFY(placed.top >= bottom); // no overlap
                bottom = placed.top + report.band(placed.index).height();
                QVERIFY2(bottom <= bodyHeight, "a band runs past the page end");
                if (placed.index == PlacedBand::PageHeaderIndex)
                    continue;
                QCOMPARE(placed.index, next++);
                if (report.kind(placed.index) == BandedReport::BandKind::GroupHeader)
                    ++groupHeaders;
            }
            // A group header kept with its next band never ends a page.
            QVERIFY(report.kind(page.bands.last().index) != BandedReport::BandKind::GroupHeader);
        }
        QCOMPARE(groupHeaders, 6);
        QCOMPARE(report.kind(pages.last().bands.last().index),
                 BandedReport::BandKind::ReportFooter);

        // "%p / %P" names the page and the count on every page.
        const QString text = reportText(report);
        for (int p = 1; p <= pages.size(); ++p)
            QVERIFY(text.contains(QStringLiteral("頁 %1 / %2\n").arg(p).arg(pages.size())));
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

    void previewOpensOverItsOwnerAndTurnsPagesByKey() {
        const BandedReport report = sampleReport(6);
        const int count = report.pageCount();
        QWidget owner;
        owner.setGeometry(200, 150, 400, 300);
        QVERIFY(GuiTest::showActive(&owner));

        int printed = 0;
        ReportPreview preview(report, &owner, [&](const BandedReport& r) {
            QCOMPARE(&r, &report);
            ++printed;
        });
        QVERIFY(GuiTest::showActive(&preview));
        QCOMPARE(preview.windowTitle(), "見本");
        QCOMPARE(preview.pos(),
                 owner.frameGeometry().topLeft() + QPoint(twipsToPixels(45), twipsToPixels(600)));

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
        QVERIFY(preview.zoomPercent() > zoom);
        QVERIFY(image->pixmap().width() > width);
        GuiTest::press(Qt::Key_Minus);
        QCOMPARE(preview.zoomPercent(), zoom);

        preview.findChild<QPushButton*>("cmdPrint")->click();
        QCOMPARE(printed, 1);
        GuiTest::press(Qt::Key_Escape);
        QVERIFY(!preview.isVisible());
    }
};

QTEST_MAIN(TestBandedReport)
#include "test_bandedreport.moc"
