#include "core/apperror.h"
#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "homework/paymentterms.h"
#include "slips/screens/frmdenpyo.h"
#include "slips/screens/printslips.h"
#include "slips/screens/slipbarcode.h"
#include "slips/slipfixtures.h"
#include "slips/slipprintdata.h"
#include "support/golden.h"
#include "support/pdftools.h"
#include "support/screenlog.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace ScreenLog;
using SlipFixtures::addSlip;
using SlipFixtures::printedSlip;
using SlipFixtures::Slip;

namespace {

const QStringList kTools = {QStringLiteral("pdftotext"), QStringLiteral("pdfinfo"),
                            QStringLiteral("pdftoppm"), QStringLiteral("zbarimg")};
const QString kRemark = QStringLiteral("検品後は箱に入れて返却、割れ物注意のこと");

// Frames of the copies on the page, in twips: 5760 apart, 80 above the top.
constexpr int kFrameLeft[2] = {0, 5760};
constexpr int kFrameTop = -80;

QRectF onPage(const QRect& inFrame, int copy) {
    return QRectF(inFrame).translated(kFrameLeft[copy], kFrameTop);
}

// The barcode box of a copy with room around it.
QRectF barcodeArea(int copy) {
    return onPage({400, 6340, 4405, 1240}, copy);
}

QString pdfOf(const TestDatabase& db, const QString& slipNo) {
    return QDir(db.dirPath()).filePath(QStringLiteral("print/%1.pdf").arg(slipNo));
}

void writeIni(TestDatabase& db, const QString& extra = QString()) {
    db.writeIni(QStringLiteral("[Print]\nOutput=PDF\n[User]\nName=株式会社デモ精工\n") + extra);
}

} // namespace

// The PDF is read back with the user's tools; without them there is nothing to check.
#define REQUIRE_TOOLS()                                                                            \
    if (const QString tool = PdfTools::missing(kTools); !tool.isEmpty())                           \
    QSKIP(qPrintable(tool + QStringLiteral(" is not installed (poppler-utils, zbar-tools)")))

class TestSlipPrint : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }
    void init() { MessageBox::clearShown(); }

    void aDateGivesOnePageFilePerSlip() {
        REQUIRE_TOOLS();
        TestDatabase db;
        SlipFixtures::addPrintMasters();
        writeIni(db);
        Slip done = printedSlip();
        done.remark = kRemark;
        addSlip(done);
        Slip open = done;
        open.no = QStringLiteral("031031-005");
        open.deleted = true; // printed too
        addSlip(open);

        QCOMPARE(PrintSlips(nullptr, QStringLiteral("2003/10/31")), 2);
        const QString folder = QDir(db.dirPath()).filePath(QStringLiteral("print"));
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 QStringList({QStringLiteral("031031-004.pdf"), QStringLiteral("031031-005.pdf")}));
        QCOMPARE(seen(), "[i Ok] PDFファイルを保存しました: " + QDir::toNativeSeparators(folder));

        const QString pdf = pdfOf(db, done.no);
        const PdfTools::Info info = PdfTools::info(pdf);
        QCOMPARE(info.pages, 1);
        QVERIFY2(qAbs(info.size.width() - 11906) < 20 && qAbs(info.size.height() - 8391) < 20,
                 "A5 landscape");
        const QList<PdfTools::Word> page = PdfTools::words(pdf);

        // The form's own layout is the golden file's; here the page shows it: the
        // number and the wrapped remark in their boxes, a readable barcode, on both copies.
        for (int copy = 0; copy < 2; ++copy) {
            QCOMPARE(PdfTools::textIn(page, onPage({720, 720, 1755, 360}, copy)), done.no);
            QCOMPARE(PdfTools::textIn(page, onPage({720, copy ? 4380 : 4365, 4635, 1155}, copy)),
                     kRemark);
            QCOMPARE(PdfTools::barcodes(pdf, barcodeArea(copy)), QStringList({done.no}));
        }

        // Margins move each copy: the number's place before and after.
        const auto slipNumbers = [&pdf, &done]() {
            QList<QPointF> at;
            for (const PdfTools::Word& w : PdfTools::words(pdf))
                if (w.text == done.no)
                    at << w.box.topLeft();
            std::sort(at.begin(), at.end(),
                      [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
            return at;
        };
        const QList<QPointF> plain = slipNumbers();
        QCOMPARE(plain.size(), 2);
        writeIni(db, QStringLiteral("[Denpyo]\nMarginTop=100\nMarginLeft1=50\nMarginLeft2=-30\n"));
        QCOMPARE(PrintSlips(nullptr, done.no), 1); // replaces the first file
        const QList<QPointF> moved = slipNumbers();
        QCOMPARE(moved.size(), 2);
        const QPointF shifts[2] = {{50, 100}, {-30, 100}};
        for (int copy = 0; copy < 2; ++copy) {
            const QPointF d = moved[copy] - plain[copy] - shifts[copy];
            QVERIFY2(qAbs(d.x()) < 2 && qAbs(d.y()) < 2,
                     qPrintable(QStringLiteral("copy %1").arg(copy)));
        }
    }

    void handbookCopyAddsTheActsItemsAndTheDefaultStaysAsItWas() {
        TestDatabase db;
        SlipFixtures::addPrintMasters();
        writeIni(db);
        Slip slip = printedSlip();
        slip.delivered = 1180;
        slip.deliveredOn = QStringLiteral("2003-11-05");
        addSlip(slip);
        const PaymentTerms terms = PaymentTerms::parse("20", "翌月10日", "7", "1");
        for (const PaymentTerms* handbook : {(const PaymentTerms*)nullptr, &terms}) {
            frmDenpyo form;
            fillDenpyo(form, loadSlipsToPrint(slip.no).value(0), SlipMargins(), handbook);
            const QString difference = goldenDifference(
                handbook ? QStringLiteral("slip-handbook.txt") : QStringLiteral("slip.txt"),
                form.text());
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }

    void barcodeHasQuietZonesAndAWideRatioOfThree() {
        const Code39Symbol symbol = encodeCode39(QStringLiteral("031031-004"));
        QCOMPARE(symbol.text, QStringLiteral("*031031-004*"));
        QCOMPARE(symbol.bars.size(), 12 * 5); // start, ten characters, stop
        QCOMPARE(symbol.bars.first().x, 10.0);
        QCOMPARE(symbol.width - symbol.bars.last().x - symbol.bars.last().width, 10.0);
        QCOMPARE(symbol.width, 12 * 16 - 1 + 20.0); // 6 narrow + 3 wide + a gap per character
        for (const Code39Symbol::Bar& bar : symbol.bars)
            QVERIFY(bar.width == 1 || bar.width == 3);
        QVERIFY_THROWS_EXCEPTION(AppError, encodeCode39(QStringLiteral("伝票")));
    }

    void aFailureShowsTheErrorKeepsWhatWasPrintedAndLeavesNoPartialFile() {
        REQUIRE_TOOLS();
        TestDatabase db;
        SlipFixtures::addPrintMasters();
        Slip first = printedSlip();
        addSlip(first);
        Slip second = first;
        second.no = QStringLiteral("031031-005");
        addSlip(second);
        writeIni(db);
        const QDir folder(QDir(db.dirPath()).filePath(QStringLiteral("print")));
        QStringList log;
        const auto print = [&](const QString& key) {
            const int printed = PrintSlips(nullptr, key);
            log << QStringLiteral("%1: %2 printed, %3; print/: %4")
                       .arg(key)
                       .arg(printed)
                       .arg(seen().replace(db.dirPath(), "<dir>"),
                            folder.exists() ? folder
                                                  .entryList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::NoDotAndDotDot)
                                                  .join(' ')
                                            : "none");
        };
        print("031031-999"); // nothing to print, nothing shown
        print("2003/10/30");
        // The folder cannot be made: a file stands in its way.
        QFile(QDir(db.dirPath()).filePath(QStringLiteral("blocker"))).open(QIODevice::WriteOnly);
        db.writeIni(QStringLiteral("[Print]\nOutput=pdf\nFolder=blocker/pdf\n"));
        print(first.no);
        // The second file cannot be written: the first stays, the run stops,
        // nothing half-written is left, and the user learns where the first went.
        writeIni(db);
        QVERIFY(folder.mkpath(second.no + QStringLiteral(".pdf")));
        print(QStringLiteral("2003/10/31"));
        log << QStringLiteral("pages of %1: %2")
                   .arg(first.no)
                   .arg(PdfTools::info(folder.filePath(first.no + QStringLiteral(".pdf"))).pages);
        const QString d = differs(QStringLiteral("print-failures.txt"), log);
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }
};

QTEST_MAIN(TestSlipPrint)
#include "test_slip_print.moc"
