#include "core/bytetext.h"
#include "core/login.h"
#include "core/screens/fields.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/screens/readonlyfield.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "masters/lookup.h"
#include "masters/masterdef.h"
#include "masters/masterrecord.h"
#include "masters/screens/lookups.h"
#include "masters/screens/mastereditscreen.h"
#include "masters/screens/masterlistscreen.h"
#include "support/golden.h"
#include "support/guitest.h"
#include "support/screenlog.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <memory>

// A master list screen shown and, on request, its edit screen shown over
// it (not modally, so that the test can drive it); `step` writes down what
// the clerk sees, `check` compares that with a golden file.
struct MasterScreens {
    explicit MasterScreens(const MasterDef& def) : list(def) {
        QVERIFY(GuiTest::showActive(&list));
    }
    MasterEditScreen* openEdit(EditMode mode, const QString& key = QString()) {
        edit = std::make_unique<MasterEditScreen>(list.def(), &list, mode, key);
        if (!GuiTest::showActive(edit.get()))
            qWarning("the edit screen did not become active");
        return edit.get();
    }

    ListGrid* grid() { return GuiTest::child<ListGrid>(&list, "grd1"); }
    QPushButton* listButton(const char* name) { return GuiTest::child<QPushButton>(&list, name); }
    QCheckBox* listFilter() { return GuiTest::child<QCheckBox>(&list, "ChkDel"); }
    QLineEdit* box(const QString& name) { return GuiTest::box(edit.get(), name); }
    QLineEdit* det(int index) { return box(QStringLiteral("txtDet_%1").arg(index)); }
    QCheckBox* editDeleted() { return GuiTest::child<QCheckBox>(edit.get(), "ChkDel"); }
    void clickUpdate() {
        QTest::mouseClick(GuiTest::child<QPushButton>(edit.get(), "cmdUpd"), Qt::LeftButton);
    }
    // Codes in grid column 1, rows 1.. up to the first empty one, with the
    // deletion mark of the last column.
    QStringList listedCodes() {
        QStringList codes;
        for (int r = 1; r < grid()->rows() && !grid()->textMatrix(r, 1).isEmpty(); ++r) {
            const QString mark = grid()->textMatrix(r, grid()->cols() - 1);
            codes << grid()->textMatrix(r, 1) + (mark.isEmpty() ? "" : "(" + mark + ")");
        }
        return codes;
    }

    // The messages shown since the last step (a database's own words, which
    // differ by server, as "(database error)"), the focus, the edit screen
    // and its boxes, the list and its selection.
    void step(const QString& what) {
        const QStringList said = ScreenLog::messages([](const QString& text) {
            return text.contains(QRegularExpression("[A-Za-z]")) ? "(database error)" : text;
        });
        QString screen = "list";
        if (edit && edit->isVisible()) {
            QStringList texts;
            for (int i = 0;
                 i < 20 && edit->findChild<QLineEdit*>(QStringLiteral("txtDet_%1").arg(i)); ++i)
                texts << det(i)->text();
            screen = "edit [" + texts.join(',') + "]";
        } else if (edit) {
            screen =
                edit->result() == QDialog::Accepted ? "list (edit saved)" : "list (edit closed)";
        }
        QWidget* focus = QApplication::focusWidget();
        log << QStringLiteral("%1: %2\n  %3, focus %4; listed %5; row %6 key %7, update %8")
                   .arg(what, said.isEmpty() ? "-" : said.join(" / "), screen,
                        focus ? focus->objectName() : "none", listedCodes().join(','))
                   .arg(grid()->row())
                   .arg(list.selectedKey(), listButton("cmdUpd")->isEnabled() ? "on" : "off");
    }
    void row(int r) {
        QStringList cells;
        for (int c = 1; c < grid()->cols(); ++c)
            cells << grid()->textMatrix(r, c);
        log << QStringLiteral("  row %1: ").arg(r) + cells.join('|');
    }
    void stored(const QString& sql) { log << "  stored: " + TestRuns::rows(sql).join(" / "); }
    void check(const QString& golden) {
        const QString d = goldenDifference(golden, log.join('\n') + '\n');
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    MasterListScreen list;
    std::unique_ptr<MasterEditScreen> edit;
    QStringList log;
};

namespace {
using Answer = MessageBox::Answer;

MasterRecord workCode(const QString& code, const QString& name, bool deleted = false) {
    MasterRecord r;
    r.texts.insert("作業コード", code);
    r.texts.insert("作業項目", name);
    r.deleted = deleted;
    return r;
}

void addDrawings(int count, int deleted = -1) {
    for (int i = 1; i <= count; ++i) {
        MasterRecord r;
        r.texts.insert("製品図番", QStringLiteral("D%1").arg(i, 2, 10, QChar('0')));
        r.texts.insert("図番名称", QStringLiteral("図番%1").arg(i));
        r.deleted = i == deleted;
        insertMasterRecord(pnoMaster(), r);
    }
}
// A screen with every code combo box the lookups serve.
struct LookupForm {
    QWidget form;
    QComboBox* add(const QString& name) {
        auto* combo = new QComboBox(&form);
        combo->setObjectName(name);
        combo->setEditable(true);
        return combo;
    }
    QComboBox* pno = add("cboPno");
    QComboBox* wno = add("cboWNo");
    QComboBox* person = add("cboPerson");
    QComboBox* person0 = add("cboPerson_0");
    QComboBox* person1 = add("cboPerson_1");
};

void seed() {
    const QString drawing = "INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, ?)";
    execSql(drawing, {"P002", "部品B", 0});
    execSql(drawing, {"P001", "部品A", 0});
    execSql(drawing, {"P009", "廃番", 1});
    execSql("INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES ('W1', '組立', 0)");
    const QString person =
        "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ) VALUES (?, ?, ?)";
    execSql(person, {"N1", "あいうえおかきくけこさしすせそ", 0});
    execSql(person, {"N2", "佐藤", 0});
    execSql(person, {"N3", "削除済", 1});
}
} // namespace

// The master list and edit screens and the code combo boxes they serve.
class TestMasterScreens : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void addStoresTheRecordAndRefreshesTheList() {
        TestDatabase db;
        gEmpCode = "E09";
        MasterScreens s(pnoMaster());
        s.openEdit(EditMode::Add);
        s.step("add opened");
        GuiTest::type("X-10");
        QTest::keyClick(s.det(0), Qt::Key_Return); // Enter moves on like Tab
        s.step("code typed, Enter");
        GuiTest::type("O'Neil 50% 「特」");
        s.det(2)->setText("備考 ");
        s.clickUpdate();
        s.step("saved");
        s.stored(
            "SELECT 製品図番, 図番名称, 備考, 削除フラグ, 社員コード, 最終更新日時 FROM zuban_m");
        s.check("add.txt");
    }

    // The overwrite brings the deleted record back with the typed fields.
    void existingCodeIsOverwrittenOnlyAfterYes() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), workCode("W1", "旧", true));
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText("W1");
        s.det(1)->setText("新");
        for (const Answer overwrite : {Answer::No, Answer::Yes}) {
            MessageBox::setNextAnswer(Answer::Ok);
            MessageBox::setNextAnswer(overwrite);
            s.clickUpdate();
            s.step(overwrite == Answer::Yes ? "saved, Yes" : "saved, No");
            s.stored("SELECT 作業コード, 作業項目, 削除フラグ FROM sagyou_m");
        }
        s.check("overwrite.txt");
    }

    void cancelAndEmptyCodeWriteNothing() {
        TestDatabase db;
        MasterScreens s(pnoMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText("A1");
        s.det(1)->setText("名称");
        MessageBox::setNextAnswer(Answer::Cancel);
        s.clickUpdate();
        s.step("saved, Cancel");
        s.det(0)->clear();
        s.det(0)->setFocus();
        QTest::keyClick(s.det(0), Qt::Key_Tab);
        s.step("empty code left");
        // Reached anyway with a blank code: the add fails.
        s.det(0)->setText("   ");
        s.det(1)->setFocus();
        s.clickUpdate();
        s.step("blank code saved");
        // A failed existence test is a failed add, never an insert nor the overwrite question.
        s.det(0)->setText("A5");
        execSql("ALTER TABLE zuban_m RENAME TO zuban_old");
        s.clickUpdate();
        s.step("saved, existence test failed");
        execSql("ALTER TABLE zuban_old RENAME TO zuban_m");
        QTest::keyClick(s.det(1), Qt::Key_Escape);
        s.step("Escape");
        s.stored("SELECT COUNT(*) FROM zuban_m");
        s.check("add-refused.txt");
    }

    void editChangesFieldsButNeverTheCode() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), workCode("W1", "組立"));
        insertMasterRecord(workCodeMaster(), workCode("W2", "検査"));
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Edit, "W2");
        QVERIFY(isReadOnlyField(s.det(0)));
        s.step("W2 opened");
        s.det(1)->setText("最終検査");
        s.editDeleted()->setChecked(true);
        s.clickUpdate();
        s.step("marked deleted, saved");
        s.stored("SELECT 作業コード, 作業項目, 削除フラグ FROM sagyou_m ORDER BY 1");

        // Shown again with the filter off, and restored from there.
        s.listFilter()->setChecked(false);
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        s.step("filter off, listed");
        s.openEdit(EditMode::Edit, "W2");
        QVERIFY(s.editDeleted()->isChecked());
        s.editDeleted()->setChecked(false);
        s.clickUpdate();
        s.step("restored, saved");
        QVERIFY(!s.listFilter()->isChecked()); // the list keeps its filter

        // A record that cannot be read is never saved over with empty fields.
        execSql("ALTER TABLE sagyou_m DROP COLUMN 備考");
        s.openEdit(EditMode::Edit, "W1");
        s.step("W1 opened, unreadable");
        QVERIFY(!GuiTest::child<QPushButton>(s.edit.get(), "cmdUpd")->isEnabled());
        execSql("ALTER TABLE sagyou_m ADD COLUMN 備考 TEXT");

        // A record deleted meanwhile is a failed edit, not a silent success.
        s.openEdit(EditMode::Edit, "W9");
        s.step("W9 opened");
        s.clickUpdate();
        s.step("W9 saved");
        s.check("edit.txt");
    }

    void everyScreenNamesItsFieldsAndKeepsCodesFindable() {
        TestDatabase db;
        for (const MasterDef* def : allMasters()) {
            MasterScreens s(*def);
            QCOMPARE(GuiTest::unnamedFields(s.openEdit(EditMode::Add)), QStringList());
            // The code lists separate code and name by the full-width space,
            // so a code holding one would never be found again.
            QLineEdit* code = s.box(def->key().box);
            code->setFocus();
            QVERIFY(!GuiTest::inputMethodWanted());
            GuiTest::type("A　B");
            QCOMPARE(code->text(), "A B");
        }
        // A name takes 40 bytes: twenty full-width characters.
        MasterScreens s(pnoMaster());
        s.openEdit(EditMode::Add);
        s.det(1)->setFocus();
        GuiTest::type(QString(21, QChar(0x30A2)));
        QCOMPARE(s.det(1)->text(), QString(20, QChar(0x30A2)));
    }

    void homeWorkerRequiredFieldsDatePostcodeAndRank() {
        TestDatabase db;
        MasterScreens s(personMaster());
        s.openEdit(EditMode::Add);
        // Typed with the input method left on; the name box is never entered.
        s.det(0)->setFocus();
        GuiTest::compose("Ｎ７");
        s.box("txtDay_0")->setFocus();
        GuiTest::compose("１９６００５０３");
        GuiTest::press(Qt::Key_Tab); // shown with slashes once left
        s.det(2)->setFocus();
        GuiTest::type("123-4567x");
        s.det(8)->setFocus();
        GuiTest::type("ABC");
        s.clickUpdate(); // required fields are checked again at save
        s.step("saved without a name");
        s.det(1)->setText("田中");
        s.clickUpdate();
        s.step("saved");
        s.stored("SELECT 生年月日, 郵便番号, ランク FROM naishoku_m");
        s.row(1);
        s.check("home-worker.txt");
    }

    // An employee added to the empty list, the password hidden and cut to
    // six bytes; an empty row has no key, and a double-click on it adds.
    void employeesAndTheirPasswords() {
        TestDatabase db;
        MasterScreens s(empMaster());
        s.step("opened empty");
        s.openEdit(EditMode::Add);
        s.det(0)->setText("S1");
        s.det(1)->setText("山田");
        s.det(2)->setFocus();
        GuiTest::type("abc1234");
        s.step("password typed, shown as " + s.det(2)->displayText());
        s.clickUpdate();
        s.step("saved");
        s.row(1);
        QCOMPARE(LoginCheck("S1"), 0);
        for (const int row : {3, 1, 3}) { // an empty row, the added one, the empty one
            s.grid()->selectRow(row);
            s.step(QStringLiteral("row %1 chosen").arg(row));
        }
        GuiTest::onNextModal([&s](QWidget* edit) {
            s.log << "double-click opens " + GuiTest::child<QLabel>(edit, "lblMode")->text();
            edit->close();
        });
        emit s.grid()->rowDoubleClicked(3);
        s.check("employees.txt");
    }

    void listSelectionFollowsTheRowAndTheFilterShowsDeletedRows() {
        TestDatabase db;
        addDrawings(20, 2);
        MasterScreens s(pnoMaster());
        s.step("twenty rows, one deleted");
        s.grid()->selectRow(7);
        s.listFilter()->setFocus();
        s.step("row 7 chosen, focus on"); // a key is still selected
        // Enter on the grid moves on like Tab; it never opens a record.
        s.grid()->setFocus();
        QTest::keyClick(s.grid(), Qt::Key_Return);
        QVERIFY(!QApplication::activeModalWidget());
        s.step("Enter on the grid");
        s.listFilter()->setChecked(false);
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        s.step("filter off, listed");
        s.row(20);
        // A loader failure is reported and leaves the screen open.
        execSql("ALTER TABLE zuban_m RENAME TO zuban_old");
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        s.step("listed, table gone");
        QTest::keyClick(s.grid(), Qt::Key_Escape);
        QVERIFY(!s.list.isVisible());
        s.check("list.txt");
    }

    // Fills and look-ups of the code combos, one after another on one form.
    void fillsAndLookUps() {
        TestDatabase db;
        seed();
        LookupForm f;
        const QString d = goldenCases("lookups.txt", [&f](const QStringList& c) {
            static const char* const results[] = {"found", "not found", "failed"};
            QComboBox* combo = f.form.findChild<QComboBox*>(c[0]);
            if (combo && c.size() > 2)
                combo->setEditText(c[2]);
            const CodeLookup lookup = c[0] == "cboPno"   ? LookupPno
                                      : c[0] == "cboWNo" ? LookupWorkCode
                                                         : LookupPerson;
            const QString result =
                c[1] == "-" ? "-" // only looked at
                            : results[int(lookup(combo, c[1] == "fill" ? LookupMode::Fill
                                                                       : LookupMode::Find))];
            const int said = int(MessageBox::shown().size());
            MessageBox::clearShown();
            return QStringLiteral("%1 | %2 | %3 items | %4 messages")
                .arg(result, combo ? combo->currentText().simplified() : "-")
                .arg(combo ? combo->count() : 0)
                .arg(said);
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
        QCOMPARE(LenByte(f.person->itemText(0)), 32); // the 30-byte name is cut to 20
    }

    void codeCombosKeepTheTypedCode() {
        TestDatabase db;
        seed();
        LookupForm f;
        setupCodeCombo(f.pno);
        QCOMPARE(LookupPno(f.pno, LookupMode::Fill), LookupResult::Found);
        QVERIFY(GuiTest::showActive(&f.form));
        f.pno->setFocus();
        f.pno->lineEdit()->selectAll();
        // Completion would make this the first item, matched regardless of case.
        GuiTest::type("p00");
        GuiTest::press(Qt::Key_Tab);
        QCOMPARE(f.pno->currentText(), "p00");

        // The separator of the items is never typed into a code (it comes
        // half-width), but a picked item keeps it and may be edited.
        f.pno->setFocus();
        f.pno->lineEdit()->selectAll();
        GuiTest::type("P0　02");
        QCOMPARE(f.pno->currentText(), "P0 02");
        f.pno->setCurrentIndex(0);
        f.pno->lineEdit()->end(false);
        GuiTest::type("x");
        QCOMPARE(f.pno->currentText(), f.pno->itemText(0) + "x");
    }

    void databaseErrorIsReportedAndNeverCountsAsFound() {
        TestDatabase db;
        LookupForm f;
        execSql("ALTER TABLE zuban_m RENAME TO zuban_old");
        f.pno->setEditText("P001");
        QCOMPARE(LookupPno(f.pno, LookupMode::Find), LookupResult::Failed);
        QCOMPARE(f.pno->currentText(), "P001");
        QCOMPARE(LookupPno(f.pno, LookupMode::Fill), LookupResult::Failed);
        QCOMPARE(f.pno->count(), 0);
        QCOMPARE(LookupWorkCode(nullptr, LookupMode::Fill), LookupResult::Failed);
        QCOMPARE(MessageBox::shown().size(), 3);
        QVERIFY(MessageBox::shown().first().text.contains("zuban_m"));
    }
};

QTEST_MAIN(TestMasterScreens)
#include "test_master_screens.moc"
