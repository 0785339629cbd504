#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "export/listtable.h"
#include "export/screens/csvexport.h"
#include "masters/masterdef.h"
#include "masters/screens/masterlistscreen.h"
#include "prices/screens/frmwrkpricemnt.h"
#include "settlement/settlementfixtures.h"
#include "slips/screens/frmproduct.h"
#include "support/guitest.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {

using Fields = QList<CsvField>;
const QByteArray kBom = "\xEF\xBB\xBF";

TestRuns::AdminRun adminExport(const QStringList& args) {
    return TestRuns::admin(QStringList{"export"} + args);
}

} // namespace

class TestCsvExport : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }

    void writerQuotesProtectsAndEncodes() {
        const std::tuple<Fields, bool, QByteArray> cases[] = {
            {Fields{{"a"}, {"伝票"}, {""}}, false, kBom + "a,\xE4\xBC\x9D\xE7\xA5\xA8,\r\n"},
            {Fields{{"a,b"}, {"say \"hi\""}, {"x\ny"}, {"r\rs"}}, false,
             kBom + "\"a,b\",\"say \"\"hi\"\"\",\"x\ny\",\"r\rs\"\r\n"},
            // Formulas are defused; numbers stay numbers.
            {Fields{{"=1+2"}, {"+1"}, {"-2+3"}, {"@SUM(A1)"}, {"\tx"}}, false,
             kBom + "\"'=1+2\",\"'+1\",\"'-2+3\",\"'@SUM(A1)\",\"'\tx\"\r\n"},
            {Fields{{"-5", true}, {"1234.500", true}, {"-5+A1", true}, {"1,234", true}, {"a=b"}},
             false, kBom + "-5,1234.500,\"'-5+A1\",\"1,234\",a=b\r\n"},
            {Fields{{"伝票,ｱ～"}, {"=1"}}, true,
             QByteArray("\"\x93\x60\x95\x5b,\xb1\x81\x60\",\"'=1\"\r\n")}};
        for (const auto& [fields, shiftJis, bytes] : cases) {
            CsvWriter w(shiftJis ? CsvEncoding::ShiftJis : CsvEncoding::Utf8Bom);
            w.addRow(fields);
            QCOMPARE(w.bytes(), bytes);
        }
    }

    void listCsvHoldsTheShownColumnsAndRows() {
        ListTable t;
        t.headings = {"", "コード", "単価", "日付", "", "備考"};
        t.shown = {false, true, true, true, false, true};
        t.rows = {{"k1", "001", "1,234,567.500", "2026/12/07", "x", "-1,000"},
                  {"", "", "", "", "hidden only", ""},
                  {"k2", "A-1", "0.000", "", "y", "1,2"}};
        QCOMPARE(listCsv(t, CsvEncoding::Utf8Bom),
                 kBom + "コード,単価,日付,備考\r\n001,1234567.500,2026/12/07,-1000\r\n"
                        "A-1,0.000,,\"1,2\"\r\n");
    }

    // Each list screen writes what its grid shows, the same bytes as
    // tarvel-admin export, under the suggested name.
    void screensWriteWhatTheListShows() {
        TestDatabase db;
        using namespace SettlementFixtures;
        addWorker("N01", "山田,\"花子\"");
        addWorker("N02", "=HYPERLINK(\"x\")");
        addWorkCode("W1", "組立");
        execSql("INSERT INTO zuban_m (製品図番, 図番名称, 備考, 削除フラグ) VALUES"
                " ('P-100', '部品, 大', '-2+3', 0), ('P-200', '消した', '', 1)");
        addPrice(1, "P-100", "W1", "N01", 1234.5, "2004/01/01");
        execSql("INSERT INTO syain_m (社員コード, 氏名, パスワード, 削除フラグ) VALUES"
                " ('001', '山田', 'pw1234', 0)");
        addSlip("040401-001", "N01", "P-100", "W1", 0, 1500, "2004/04/01", "");
        addSlip("040401-002", "N02", "P-100", "W1", 0, 3, "2004/04/02", "");
        QString suggested;
        const QString target = db.dirPath() + "/out.csv";
        setCsvFileChooser([&](QWidget*, const QString& s) {
            suggested = s;
            return target;
        });
        // What, the file name offered, the lines written, the encoding.
        for (const char* row :
             {"drawings 製品図番一覧 2", "employees 社員一覧 2", "homeworkers 内職者一覧 3",
              "prices 作業単価一覧 2 Shift_JIS", "slips 伝票一覧 3"}) {
            const QStringList f = QString::fromUtf8(row).split(' ');
            db.writeIni("[Export]\nEncoding=" + f.value(3) + "\n");
            std::unique_ptr<QWidget> screen;
            if (f[0] == "drawings")
                screen = std::make_unique<MasterListScreen>(pnoMaster());
            else if (f[0] == "employees")
                screen = std::make_unique<MasterListScreen>(empMaster());
            else if (f[0] == "homeworkers")
                screen = std::make_unique<MasterListScreen>(personMaster());
            else if (f[0] == "prices")
                screen = std::make_unique<frmWrkPriceMnt>();
            else
                screen = std::make_unique<frmProduct>();
            QVERIFY(GuiTest::showActive(screen.get()));
            if (f[0] == "slips")
                GuiTest::child<QPushButton>(screen.get(), "cmdSelect")->click();
            QTest::keyClick(screen.get(), Qt::Key_E, Qt::ControlModifier);
            QCOMPARE(QFileInfo(suggested).fileName(), f[1] + "-20260401.csv");
            const QByteArray bytes = TestRuns::fileBytes(target);
            QCOMPARE(bytes.startsWith(kBom), f.size() == 3);
            QCOMPARE(QString::number(bytes.count("\r\n")), f[2]);
            QCOMPARE(adminExport({db.path(), f[0]}).bytes, bytes);
            QVERIFY(!bytes.contains(",=") && !bytes.contains(",-2"));
            // No password, not even its column or its mark.
            QVERIFY(!bytes.contains("pw1234") && !bytes.contains("パスワード") &&
                    !bytes.contains("＊"));
        }
        setCsvFileChooser({});
    }

    void adminExportOfSlipsByDeliveryAndRefusals() {
        TestDatabase db;
        SettlementFixtures::addSlip("040401-001", "N01", "P-100", "W1", 0, 1, "2004/04/01",
                                    "2004/04/20");
        SettlementFixtures::addSlip("040401-002", "N01", "P-100", "W1", 0, 1, "2004/04/01",
                                    "2004/05/01");
        const QString april = adminExport({db.path(), "slips", "2004-04-01", "20040430"}).out;
        QVERIFY(april.contains("040401-001") && !april.contains("040401-002"));
        // Either day unreadable, or the two reversed: refused.
        for (const QStringList& days : {QStringList{"2004-13-01", "2004-04-30"},
                                        {"2004-04-01", "x"},
                                        {"20040501", "20040430"}})
            QVERIFY(
                adminExport(QStringList{db.path(), "slips"} + days).err.contains("納入日の範囲"));
        QVERIFY(adminExport({db.path(), "tables"}).err.contains("出力する一覧の名前が違います"));
        QVERIFY(adminExport({db.path(), "settlement", "x"}).err.contains("精算日"));
    }
};

QTEST_MAIN(TestCsvExport)
#include "test_csv_export.moc"
