#include "core/clock.h"
#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "settlement/screens/settlementprinting.h"
#include "settlement/settlementrun.h"
#include "settlementfixtures.h"
#include "support/pdftools.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace SettlementFixtures;

namespace {

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

QStringList fileNames(const QStringList& paths) {
    QStringList names;
    for (const QString& p : paths)
        names << QFileInfo(p).fileName();
    return names;
}

} // namespace

class TestSettlementPrinting : public QObject {
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
        // pays; the breakdown's own arithmetic is the work tables' test.
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
        QCOMPARE(cash->lines[1].counts, (CashCounts{1, 1, 3, 1, 2, 1, 1, 1, 0})); // 18,765
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
        const QString folder = QDir(db.dirPath()).filePath("out");
        const QString statementPdf = QDir(folder).filePath("statement-20040506-173000.pdf");
        const QString cashPdf = QDir(folder).filePath("cash-20040506-173000.pdf");
        const QString classesPdf = QDir(folder).filePath("classes-20040506-173000.pdf");

        // Straight out: two files, one message (one print run).
        printStatementAndCash(nullptr, *prepareStatementPrint("20040506"),
                              *prepareCashPrint("20040506"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), fileNames({cashPdf, statementPdf}));
        QCOMPARE(MessageBox::shown().size(), 1);

        // One receipt per home-worker with the company of TVL.INI; the cash
        // table landscape, dated the day of printing.
        const struct {
            QString path;
            int pages;
            bool landscape;
            QString shows;
        } documents[] = {
            {statementPdf, 3, false, "株式会社テスト製作所殿"},
            {cashPdf, 1, true, "2004/05/07"},
        };
        for (const auto& d : documents) {
            const PdfTools::Info info = PdfTools::info(d.path);
            QCOMPARE(info.pages, d.pages);
            QCOMPARE(info.size.width() > info.size.height(), d.landscape);
            for (int p = 1; p <= d.pages; ++p) {
                const QString text =
                    PdfTools::textIn(PdfTools::words(d.path, p), QRectF(QPointF(0, 0), info.size));
                QVERIFY2(text.contains(d.shows), qPrintable(d.path));
            }
        }

        // The preview's print button writes its own file and tells once.
        MessageBox::clearShown();
        bool clicked = false;
        QTimer::singleShot(0, [&] {
            QWidget* preview = QApplication::activeModalWidget();
            if (!preview)
                return;
            preview->findChild<QPushButton*>("cmdPrint")->click();
            clicked = true;
            preview->close();
        });
        previewClassList(nullptr, *prepareClassPrint("2004/05/06 17:30:00"));
        QVERIFY(clicked);
        QVERIFY(QFileInfo::exists(classesPdf));
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(PdfTools::textIn(PdfTools::words(classesPdf), QRectF(0, 0, 20000, 20000))
                    .contains("製品図番別金額一覧"));
    }
};

QTEST_MAIN(TestSettlementPrinting)
#include "test_settlementprinting.moc"
