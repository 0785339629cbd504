#include "core/apperror.h"
#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "core/screens/printoutput.h"
#include "support/pdftools.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QTest>

namespace {

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A4 portrait with 10 mm margins all round.
const QPageLayout kLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                          QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);

} // namespace

class TestPrintOutput : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }
    void init() { MessageBox::clearShown(); }

    void settingsComeFromThePrintSection() {
        const struct {
            const char* ini;
            bool pdf;
            const char* folder; // relative to the folder of TVL.INI
        } cases[] = {
            {"", false, "print"},
            {"[Print]\nOutput=PDF\n", true, "print"},
            {"[print]\noutput = pdf\nFolder=out/slips/\n", true, "out/slips"},
            {"[Print]\nOutput=fax\n", false, "print"},
        };
        TestDatabase db;
        for (const auto& c : cases) {
            db.writeIni(QString::fromUtf8(c.ini));
            const PrintSettings s = PrintSettings::read();
            QCOMPARE(s.pdf, c.pdf);
            QCOMPARE(s.folder,
                     QDir::cleanPath(QDir(db.dirPath()).filePath(QString::fromUtf8(c.folder))));
        }
        db.writeIni("[Print]\nFolder=/var/tmp/tarvel pdf\n");
        QCOMPARE(PrintSettings::read().folder, "/var/tmp/tarvel pdf");
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
        QFile old(QDir(folder).filePath("x.pdf"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        {
            PrintDocument doc(run, "x", kLayout);
            doc.painter().drawText(QPointF(0, 720), "途中");
        }
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QCOMPARE(entries(folder), QStringList({"a_b.pdf", "x.pdf"}));
        QCOMPARE(run.pdfFiles().size(), 1);

        run.tellUser(nullptr);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
                 QStringLiteral("PDFファイルを保存しました: ") + QDir::toNativeSeparators(folder));
        MessageBox::clearShown();
        PrintRun idle;
        idle.tellUser(nullptr);
        QVERIFY(MessageBox::shown().isEmpty());
    }
};

QTEST_MAIN(TestPrintOutput)
#include "test_printoutput.moc"
