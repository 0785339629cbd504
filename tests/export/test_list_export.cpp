#include "core/screens/appsetup.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "export/listtable.h"
#include "export/listworkbook.h"
#include "export/screens/listexport.h"
#include "masters/masterdef.h"
#include "masters/screens/masterlistscreen.h"
#include "prices/pricelist.h"
#include "prices/screens/frmwrkpricemnt.h"
#include "settlement/settlementfixtures.h"
#include "slips/screens/frmproduct.h"
#include "slips/sliplist.h"
#include "support/golden.h"
#include "support/guitest.h"
#include "support/testdatabase.h"
#include "support/testruns.h"
#include "workbookreader.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using Fields = QList<CsvField>;
const QByteArray kBom = "\xEF\xBB\xBF";

TestRuns::AdminRun adminExport(const QStringList& args) {
    return TestRuns::admin(QStringList{"export"} + args);
}

// A list whose cells hold what spreadsheets like to change.
ListTable hostileTable() {
    ListTable t;
    t.name = "伝票一覧";
    t.headings = {"", "コード", "備考", "数量", "単価", "納入日"};
    t.shown = {false, true, true, true, true, true};
    t.kinds = {ColumnKind::Text,  ColumnKind::Text,  ColumnKind::Text,
               ColumnKind::Whole, ColumnKind::Price, ColumnKind::Date};
    t.rows = {{"k", "007", "=1+1", "1,500", "1,234.500", "2026/12/07"},
              {"k", "0042", "1/2", "-3", "0.000", ""},
              {"k", "12345678901234567890", "一行目\n二行目", "", "12.5", "2026/13/01"},
              {"k", "ｶﾅ", "😀 𠮷野", "多数", "", ""}};
    return t;
}

} // namespace

class TestListExport : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }

    // Fields, the encoding ("" UTF-8, "sjis", or the replacement after
    // it), the bytes, the fields Shift-JIS could not hold.
    void writerQuotesProtectsAndEncodes() {
        const std::tuple<Fields, QString, QByteArray, QString> cases[] = {
            {Fields{{"a"}, {"伝票"}, {""}}, "", kBom + "a,\xE4\xBC\x9D\xE7\xA5\xA8,\r\n", ""},
            {Fields{{"a,b"}, {"say \"hi\""}, {"x\ny"}, {"r\rs"}}, "",
             kBom + "\"a,b\",\"say \"\"hi\"\"\",\"x\ny\",\"r\rs\"\r\n", ""},
            // Formulas are defused; numbers stay numbers.
            {Fields{{"=1+2"}, {"+1"}, {"-2+3"}, {"@SUM(A1)"}, {"\tx"}}, "",
             kBom + "\"'=1+2\",\"'+1\",\"'-2+3\",\"'@SUM(A1)\",\"'\tx\"\r\n", ""},
            {Fields{{"-5", true}, {"1234.500", true}, {"-5+A1", true}, {"1,234", true}, {"a=b"}},
             "", kBom + "-5,1234.500,\"'-5+A1\",\"1,234\",a=b\r\n", ""},
            {Fields{{"伝票,ｱ～"}, {"=1"}}, "sjis",
             QByteArray("\"\x93\x60\x95\x5b,\xb1\x81\x60\",\"'=1\"\r\n"), ""},
            // What Windows-31J lacks is noted, or replaced when asked.
            {Fields{{"a"}, {"😀𠮷😀"}, {"①"}}, "sjis", {}, "1:😀𠮷"},
            {Fields{{"𠮷野"}, {"x😀"}}, "sjis〓", QByteArray("\x81\xAC\x96\xEC,x\x81\xAC\r\n"),
             "0:𠮷 1:😀"}};
        for (const auto& [fields, encoding, bytes, unmapped] : cases) {
            CsvWriter w(encoding.isEmpty() ? CsvEncoding::Utf8Bom : CsvEncoding::ShiftJis,
                        encoding.mid(4));
            w.addRow(fields);
            QStringList noted;
            for (const UnmappedField& u : w.unmapped())
                noted << QString::number(u.field) + ":" + u.characters;
            QCOMPARE(noted.join(' '), unmapped);
            if (!bytes.isEmpty())
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
        QCOMPARE(listCsv(t, {}).bytes,
                 kBom + "コード,単価,日付,備考\r\n001,1234567.500,2026/12/07,-1000\r\n"
                        "A-1,0.000,,\"1,2\"\r\n");
        // Shift-JIS: refused naming each place (20, then a count), or replaced.
        for (int i = 0; i < 21; ++i)
            t.rows << QStringList{"k", "c" + QString::number(i), "", "", "", "😀"};
        t.rows[2][5] = "𠮷野";
        const QString refusal = TestRuns::errorOf([&] { listCsv(t, {CsvEncoding::ShiftJis, {}}); });
        QVERIFY2(refusal.contains("22 か所") && refusal.contains("一覧の 2 行目「備考」: 𠮷\n") &&
                     refusal.contains("一覧の 21 行目「備考」: 😀\nほか 2 か所\n"),
                 qPrintable(refusal));
        const ListFile replaced = listCsv(t, {CsvEncoding::ShiftJis, "〓"});
        QVERIFY(replaced.bytes.contains("\x81\xAC\x96\xEC\r\n") &&
                replaced.replaced.contains("〓 に置き換えました（22 か所）"));
    }

    // Each cell of a hostile list as a spreadsheet reads it back.
    void workbookKeepsTheCellsTyped() {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.xlsx");
        QVERIFY(TestRuns::writeBytes(path, listWorkbook(hostileTable())));
        const WorkbookReader book(path);
        QString cells;
        for (int row = 1; row <= 5; ++row)
            for (const char* col : {"A", "B", "C", "D", "E"})
                cells +=
                    col + QString::number(row) + " " + book.cell(col + QString::number(row)) + "\n";
        const QString diff = goldenDifference("workbook-cells.txt", cells);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(book.sheetName, QString("伝票一覧"));
        QVERIFY(book.frozenHeading && !book.anyFormula);
        // Twenty digits and two kanji lines are as wide as they show.
        QCOMPARE(book.widths.join(' '), QString("22 9 7 11 12"));
    }

    // Each list screen writes what its grid shows, the same file as
    // tarvel-admin export, under the suggested name.
    void screensWriteWhatTheListShows() {
        TestDatabase db;
        using namespace SettlementFixtures;
        addWorker("N01", "山田,\"花子\"");
        addWorker("N02", "=HYPERLINK(\"x\")");
        addWorker("N03", "𠮷田");
        addWorkCode("W1", "組立");
        execSql("INSERT INTO zuban_m (製品図番, 図番名称, 備考, 削除フラグ) VALUES"
                " ('P-100', '部品, 大', '-2+3', 0), ('P-200', '消した', '', 1)");
        addPrice(1, "P-100", "W1", "N01", 1234.5, "2004/01/01");
        execSql("INSERT INTO syain_m (社員コード, 氏名, パスワード, 削除フラグ) VALUES"
                " ('001', '山田', 'pw1234', 0)");
        addSlip("040401-001", "N01", "P-100", "W1", 0, 1500, "2004/04/01", "");
        addSlip("040401-002", "N02", "P-100", "W1", 0, 3, "2004/04/02", "");
        QString suggested, target;
        setExportFileChooser([&](QWidget*, const QString& s) {
            suggested = s;
            return target;
        });
        // What, the file name offered, the file written, the rows, [Export].
        for (const char* row : {"drawings 製品図番一覧 out.csv 2", "employees 社員一覧 out.csv 2",
                                "homeworkers 内職者一覧 out.csv 4 〓",
                                "prices 作業単価一覧 out.xlsx 2", "slips 伝票一覧 out.xlsx 3"}) {
            const QStringList f = QString::fromUtf8(row).split(' ');
            // A UTF-8 TVL.INI is known by its kana or kanji.
            db.writeIni("[User]\nName=テスト\n[Export]\nEncoding=Shift_JIS\nUnmappable=" +
                        f.value(4) + "\n");
            target = db.dirPath() + "/" + f[2];
            std::unique_ptr<QWidget> screen;
            const ListDefinition* list = &slipListDefinition();
            if (f[0] == "prices") {
                screen = std::make_unique<frmWrkPriceMnt>();
                list = &priceListDefinition();
            } else if (f[0] == "slips") {
                screen = std::make_unique<frmProduct>();
            } else {
                const MasterDef& def = f[0] == "drawings"    ? pnoMaster()
                                       : f[0] == "employees" ? empMaster()
                                                             : personMaster();
                screen = std::make_unique<MasterListScreen>(def);
                list = &def.list;
            }
            QVERIFY(GuiTest::showActive(screen.get()));
            // The grid is laid out by the definition that names and types the file.
            const auto* grid = GuiTest::child<ListGrid>(screen.get(), "grd1");
            QStringList shown, defined;
            for (int c = 0; c < grid->cols(); ++c)
                shown << grid->textMatrix(0, c) + ' ' + QString::number(grid->colWidthTwips(c));
            for (const ListColumn& c : list->columns)
                defined << QString::fromUtf16(c.heading) + ' ' + QString::number(c.widthTwips);
            QCOMPARE(shown, defined);
            QCOMPARE(QString::fromUtf16(list->name), f[1]);
            if (f[0] == "slips")
                GuiTest::child<QPushButton>(screen.get(), "cmdSelect")->click();
            MessageBox::clearShown();
            QTest::keyClick(screen.get(), Qt::Key_E, Qt::ControlModifier);
            QCOMPARE(QFileInfo(suggested).fileName(), f[1] + "-20260401.xlsx");
            const QByteArray bytes = TestRuns::fileBytes(target);
            const QString copy = db.dirPath() + "/admin-" + f[2];
            QCOMPARE(adminExport({db.path(), f[0], "--output", copy}).exitCode, 0);
            if (f[2].endsWith(".xlsx")) {
                // The same sheet; only the file's creation time differs.
                for (const char* part : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"})
                    QCOMPARE(WorkbookReader::part(copy, part), WorkbookReader::part(target, part));
                QCOMPARE(WorkbookReader(target).sheetName, f[1]);
                QVERIFY(WorkbookReader(target).cell("A" + f[3]) != "(none)");
                continue;
            }
            QCOMPARE(TestRuns::fileBytes(copy), bytes);
            QCOMPARE(QString::number(bytes.count("\r\n")), f[3]);
            QVERIFY(!bytes.contains(",=") && !bytes.contains(",-2"));
            // No password, not even its column or its mark.
            const QString text = QStringDecoder("Windows-31J").decode(bytes);
            QVERIFY(!text.contains("pw1234") && !text.contains("パスワード") &&
                    !text.contains("＊"));
            // 𠮷 as 〓, and the clerk told where.
            QCOMPARE(bytes.contains("\x81\xAC\x93\x63"), f[0] == "homeworkers");
            QCOMPARE(MessageBox::shown().size(), f[0] == "homeworkers" ? 1 : 0);
        }
        setExportFileChooser({});
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

    // The format by --format, else by the output's name, else CSV; a name
    // Shift-JIS lacks refuses the CSV unless a replacement is set.
    void adminExportFormatsAndShiftJis() {
        TestDatabase db;
        SettlementFixtures::addWorker("007", "𠮷田 😀");
        const QString file = db.dirPath() + "/list.xlsx";
        // Arguments, [Export], exit status, the start of the file written.
        const std::tuple<QStringList, QString, int, QByteArray> cases[] = {
            {{"--format", "xlsx"}, "", 0, "PK"},
            {{"--format", "csv"}, "", 0, kBom + "内職者コード"},
            {{}, "Encoding=Shift_JIS", 1, ""},
            {{}, "Encoding=Shift_JIS\nUnmappable=〓", 0, "\x93\xe0\x90\x45"},
            {{"--format", "xlsx"}, "Encoding=Shift_JIS", 0, "PK"},
            {{"--format", "pdf"}, "", 2, ""},
            {{"--output", file}, "", 0, "PK"}};
        for (const auto& [args, ini, status, start] : cases) {
            db.writeIni("[User]\nName=テスト\n[Export]\n" + ini + "\n");
            QFile::remove(file);
            const TestRuns::AdminRun run =
                adminExport(QStringList{db.path(), "homeworkers"} + args);
            QCOMPARE(run.exitCode, status);
            const QByteArray written = args.contains(file) ? TestRuns::fileBytes(file) : run.bytes;
            QVERIFY2(written.startsWith(start) && (!start.isEmpty() || written.isEmpty()),
                     qPrintable(args.join(' ') + ini + run.err));
            QCOMPARE(run.err.contains("一覧の 1 行目「内職者氏名」: 𠮷😀"),
                     ini.contains("JIS") && !args.contains("xlsx"));
        }
        QCOMPARE(WorkbookReader(file).cell("A2"), QString("text \"007\" @"));
    }
};

QTEST_MAIN(TestListExport)
#include "test_list_export.moc"
