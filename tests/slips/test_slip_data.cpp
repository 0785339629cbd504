#include "core/apperror.h"
#include "slips/printfixtures.h"
#include "slips/slipprintdata.h"
#include "support/testdatabase.h"

#include <QTest>

using PrintFixtures::addSlip;
using PrintFixtures::printedSlip;
using PrintFixtures::Slip;

class TestSlipData : public QObject {
    Q_OBJECT
  private slots:
    void missingValuesAndMastersLeaveBoxesEmpty() {
        TestDatabase db;
        PrintFixtures::addMasters();
        Slip s = printedSlip();
        s.pno = "P-999";       // no master row
        s.employee = " E001 "; // found without its blanks
        addSlip(s);
        Slip gone = s;
        gone.no = "031031-005";
        gone.employee = "E404"; // no longer in syain_m
        addSlip(gone);
        Slip blank = s;
        blank.no = "031031-006";
        blank.employee = "  ";
        addSlip(blank);
        execSql(QStringLiteral(
            "INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES ('', 'X', 0)"));

        const SlipPrintData p = LoadSlipsToPrint(s.no).value(0);
        QCOMPARE(p.drawing, "P-999 ");
        QCOMPARE(p.deliveredQuantity, QString()); // 0
        QCOMPARE(p.deliveryDate, QString());      // Null
        QCOMPARE(p.employeeName, "鈴木一郎");
        QCOMPARE(LoadSlipsToPrint(gone.no).value(0).employeeName, QString());
        QCOMPARE(LoadSlipsToPrint(blank.no).value(0).employeeName, QString());
    }

    void aRequestDateGivesEverySlipOfThatDayInOrder() {
        TestDatabase db;
        PrintFixtures::addMasters();
        for (const char* no : {"031023-003", "031023-001", "031024-001", "031023-002"}) {
            Slip s = printedSlip();
            s.no = QString::fromLatin1(no);
            s.requested = s.no.startsWith(QLatin1String("031023")) ? "2003-10-23" : "2003-10-24";
            s.deleted = s.no.endsWith(QLatin1Char('2'));
            addSlip(s);
        }
        const auto numbers = [](const QString& key) {
            QStringList out;
            for (const SlipPrintData& p : LoadSlipsToPrint(key))
                out << p.slipNo;
            return out.join(QLatin1Char(' '));
        };
        QCOMPARE(numbers("2003/10/23"),
                 "031023-001 031023-002 031023-003"); // the deleted one too
        QCOMPARE(numbers("2003/10/22"), QString());
        QCOMPARE(numbers("031024-001"), "031024-001");
        QCOMPARE(numbers("031023-00"), QString());
        QCOMPARE(numbers("2003/13/45"), QString()); // not a date: a slip number
        QCOMPARE(numbers("x' OR '1'='1"), QString());
    }

    void marginsAreWholeTwipsOfNumericValues() {
        const struct {
            const char* top;
            int expected;
        } cases[] = {{"100", 100},     {"-30", -30},       {" 50 ", 50}, {"abc", 0},
                     {"", 0},          {"12.5", 12},       {"13.5", 14}, {"1e2", 100},
                     {"32767", 32767}, {"-32768", -32768}, {"nan", 0}};
        TestDatabase db;
        for (const auto& c : cases) {
            db.writeIni(QStringLiteral("[Denpyo]\nMarginTop=%1\nMarginLeft1=50\n")
                            .arg(QString::fromLatin1(c.top)));
            const SlipMargins m = ReadSlipMargins();
            QCOMPARE(m.top, c.expected);
            QCOMPARE(m.left1, 50);
            QCOMPARE(m.left2, 0); // missing key
        }
        db.writeIni("[Denpyo]\nMarginLeft2=32768\n");
        QVERIFY_THROWS_EXCEPTION(AppError, ReadSlipMargins());
    }
};

QTEST_MAIN(TestSlipData)
#include "test_slip_data.moc"
