#include "core/bytetext.h"
#include "core/login.h"
#include "core/screens/fields.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "masters/lookup.h"
#include "masters/masterdef.h"
#include "masters/masterrecord.h"
#include "masters/screens/lookups.h"
#include "masters/screens/mastereditscreen.h"
#include "masters/screens/masterlistscreen.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <memory>

// A master list screen shown and, on request, its edit screen shown over
// it (not modally, so that the test can drive it).
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
    // Codes in grid column 1, rows 1.. up to the first empty one.
    QStringList listedCodes() {
        QStringList codes;
        for (int r = 1; r < grid()->rows() && !grid()->textMatrix(r, 1).isEmpty(); ++r)
            codes << grid()->textMatrix(r, 1);
        return codes;
    }

    MasterListScreen list;
    std::unique_ptr<MasterEditScreen> edit;
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

QString storedText(const QString& sql) {
    SqlQuery q(sql);
    return q.exec().next() ? q.value("v").toString() : "<none>";
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
        MasterEditScreen* edit = s.openEdit(EditMode::Add);
        QVERIFY(s.det(0)->hasFocus());
        GuiTest::type("X-10");
        QTest::keyClick(s.det(0), Qt::Key_Return); // Enter moves on like Tab
        QVERIFY(s.det(1)->hasFocus());
        GuiTest::type("O'Neil 50% 「特」");
        s.det(2)->setText("備考 ");
        s.clickUpdate();

        QCOMPARE(GuiTest::shownTexts(), QStringList{"製品図番を追加しますか？"});
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::OkCancel);
        QCOMPARE(edit->result(), int(QDialog::Accepted));
        QCOMPARE(
            storedText(QStringLiteral("SELECT 図番名称 || '|' || 備考 || '|' || 削除フラグ || '|' "
                                      "|| 社員コード || '|' || 最終更新日時 AS v FROM zuban_m")),
            "O'Neil 50% 「特」|備考|0|E09|2026-04-01 09:30:00");
        QCOMPARE(s.listedCodes(), QStringList{"X-10"});
        QCOMPARE(s.grid()->row(), 1);
    }

    void existingCodeIsOverwrittenOnlyAfterYes() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), workCode("W1", "旧", true));
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText("W1");
        s.det(1)->setText("新");

        MessageBox::setNextAnswer(Answer::Ok);
        MessageBox::setNextAnswer(Answer::No);
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(),
                 (QStringList{"作業コードを追加しますか？",
                              "入力された作業コードは既に存在します。置き換えますか。"}));
        QCOMPARE(MessageBox::shown().at(1).buttons, MessageBox::Buttons::YesNo);
        QVERIFY(s.edit->isVisible() && s.det(0)->hasFocus());
        QCOMPARE(storedText("SELECT 作業項目 AS v FROM sagyou_m"), "旧");

        MessageBox::clearShown();
        MessageBox::setNextAnswer(Answer::Ok);
        MessageBox::setNextAnswer(Answer::Yes);
        s.clickUpdate();
        QVERIFY(!s.edit->isVisible());
        // The overwrite brings the deleted record back with the typed fields.
        QCOMPARE(
            storedText("SELECT COUNT(*) || MAX(作業項目) || MAX(削除フラグ) AS v FROM sagyou_m"),
            "1新0");
        QCOMPARE(s.grid()->textMatrix(0, 1), "作業コード"); // kind 2 kept
        QCOMPARE(s.listedCodes(), QStringList{"W1"});
    }

    void cancelAndEmptyCodeWriteNothing() {
        TestDatabase db;
        MasterScreens s(pnoMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText("A1");
        s.det(1)->setText("名称");
        MessageBox::setNextAnswer(Answer::Cancel);
        s.clickUpdate();
        QVERIFY(s.edit->isVisible() && s.det(1)->text() == "名称");
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM zuban_m"), "0");

        // Leaving the empty code box is refused.
        s.det(0)->clear();
        s.det(0)->setFocus();
        MessageBox::clearShown();
        QTest::keyClick(s.det(0), Qt::Key_Tab);
        QVERIFY(s.det(0)->hasFocus());
        QCOMPARE(GuiTest::shownTexts(), QStringList{"入力必須項目です。"});

        // Reached anyway with a blank code: the add fails, nothing is stored.
        s.det(0)->setText("   ");
        s.det(1)->setFocus();
        MessageBox::clearShown();
        s.clickUpdate();
        QCOMPARE(GuiTest::takeShown().last(), "製品図番の追加に失敗しました。");
        QVERIFY(s.edit->isVisible());
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM zuban_m"), "0");

        // A failed existence test is a failed add, never an insert nor the overwrite question.
        s.det(0)->setText("A5");
        execSql("ALTER TABLE zuban_m RENAME TO zuban_old");
        s.clickUpdate();
        const QStringList texts = GuiTest::takeShown();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts.last(), "製品図番の追加に失敗しました。");
        execSql("ALTER TABLE zuban_old RENAME TO zuban_m");

        QTest::keyClick(s.det(1), Qt::Key_Escape); // closes without saving
        QVERIFY(!s.edit->isVisible());
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM zuban_m"), "0");
    }

    void editChangesFieldsButNeverTheCode() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), workCode("W1", "組立"));
        insertMasterRecord(workCodeMaster(), workCode("W2", "検査"));
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Edit, "W2");
        QVERIFY(!s.det(0)->isEnabled());
        QCOMPARE(s.det(0)->text() + s.det(1)->text(), "W2検査");
        s.det(1)->setText("最終検査");
        s.editDeleted()->setChecked(true);
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"作業コードを編集しますか？"});
        QCOMPARE(storedText(QStringLiteral("SELECT 作業コード || 作業項目 || 削除フラグ AS v FROM "
                                           "sagyou_m WHERE 作業コード = 'W2'")),
                 "W2最終検査1");
        QCOMPARE(s.listedCodes(), QStringList{"W1"}); // deleted row hidden

        // Shown again with the filter off, and restored from there.
        s.listFilter()->setChecked(false);
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        QCOMPARE(s.listedCodes(), (QStringList{"W1", "W2"}));
        QCOMPARE(s.grid()->textMatrix(2, 4), "削除");
        s.openEdit(EditMode::Edit, "W2");
        QVERIFY(s.editDeleted()->isChecked());
        s.editDeleted()->setChecked(false);
        s.clickUpdate();
        QCOMPARE(s.grid()->textMatrix(2, 4), QString());
        QVERIFY(!s.listFilter()->isChecked()); // the list keeps its filter

        // A record that cannot be read is never saved over with empty fields.
        execSql("ALTER TABLE sagyou_m DROP COLUMN 備考");
        MessageBox::clearShown();
        s.openEdit(EditMode::Edit, "W1");
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(!GuiTest::child<QPushButton>(s.edit.get(), "cmdUpd")->isEnabled());
        execSql("ALTER TABLE sagyou_m ADD COLUMN 備考 TEXT");

        // A record deleted meanwhile is a failed edit, not a silent success.
        s.openEdit(EditMode::Edit, "W9");
        MessageBox::clearShown();
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts().last(), "作業コードの編集に失敗しました。");
        QVERIFY(s.edit->isVisible());
    }

    void passwordIsHiddenAndSixBytes() {
        TestDatabase db;
        MasterScreens s(empMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText("S1");
        s.det(1)->setText("山田");
        s.det(2)->setFocus();
        GuiTest::type("abc1234");
        QCOMPARE(s.det(2)->text() + s.det(2)->displayText(), "abc123******"); // seventh refused
        s.clickUpdate();
        QCOMPARE(s.grid()->textMatrix(1, 3), "abc123");
        QCOMPARE(LoginCheck("S1"), 0);
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
            GuiTest::type("A　B");
            QCOMPARE(code->text(), "AB");
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
        s.det(0)->setText("N7"); // the name box is never entered
        s.box("txtDay_0")->setFocus();
        GuiTest::type("19600503");
        GuiTest::press(Qt::Key_Tab); // shown with slashes once left
        s.det(2)->setFocus();
        GuiTest::type("123-4567x");
        s.det(8)->setFocus();
        GuiTest::type("ABC");
        s.clickUpdate(); // required fields are checked again at save
        QCOMPARE(GuiTest::takeShown(), QStringList{"入力必須項目です。"});
        QVERIFY(s.det(1)->hasFocus() && s.edit->isVisible());
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM naishoku_m"), "0");
        s.det(1)->setText("田中");
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"内職者を追加しますか？"});
        QCOMPARE(storedText("SELECT 生年月日 || 郵便番号 || ランク AS v FROM naishoku_m"),
                 "1960-05-03123-4567AB");
        QCOMPARE(s.grid()->textMatrix(1, 3), "1960/05/03");
    }

    void emptyTableOpensAddOnly() {
        TestDatabase db;
        MasterScreens s(empMaster());
        QCOMPARE(s.list.selectedKey(), QString());
        QVERIFY(!s.listButton("cmdUpd")->isEnabled() && s.grid()->hasFocus());
        // A double-click on an empty row opens the edit screen in add mode.
        QString mode;
        GuiTest::onNextModal([&mode](QWidget* edit) {
            mode = GuiTest::child<QLabel>(edit, "lblMode")->text();
            edit->close();
        });
        emit s.grid()->rowDoubleClicked(3);
        QCOMPARE(mode, "追　加");
    }

    void twentyRowsGrowTheGridAndSelectionFollowsTheRow() {
        TestDatabase db;
        addDrawings(20);
        MasterScreens s(pnoMaster());
        QCOMPARE(s.listedCodes().size(), 20);
        QCOMPARE(s.grid()->textMatrix(20, 2), "図番20");
        QCOMPARE(s.list.selectedKey(), "D01");
        s.grid()->selectRow(7);
        QCOMPARE(s.list.selectedKey(), "D07");
        s.listFilter()->setFocus();
        QVERIFY(s.listButton("cmdUpd")->isEnabled()); // a key is still selected

        // Enter on the grid moves on like Tab; it never opens a record.
        s.grid()->setFocus();
        QTest::keyClick(s.grid(), Qt::Key_Return);
        QVERIFY(!s.grid()->hasFocus() && !QApplication::activeModalWidget());
    }

    void filterShowsDeletedRowsOnlyWhenAskedAndEmptyRowsHaveNoKey() {
        TestDatabase db;
        addDrawings(4, 2);
        MasterScreens s(pnoMaster());
        QCOMPARE(s.listedCodes(), (QStringList{"D01", "D03", "D04"}));
        s.listFilter()->setChecked(false);
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        QCOMPARE(s.listedCodes(), (QStringList{"D01", "D02", "D03", "D04"}));
        QCOMPARE(s.grid()->textMatrix(2, 4) + s.grid()->textMatrix(1, 4), "削除");
        QVERIFY(s.grid()->hasFocus());
        s.grid()->selectRow(5); // below the data
        QCOMPARE(s.list.selectedKey(), QString());
        QVERIFY(!s.listButton("cmdUpd")->isEnabled());
        QTest::keyClick(s.grid(), Qt::Key_Escape);
        QVERIFY(!s.list.isVisible());
    }

    void loaderFailureIsReportedAndLeavesTheScreenOpen() {
        TestDatabase db;
        addDrawings(2);
        MasterScreens s(pnoMaster());
        execSql("ALTER TABLE zuban_m RENAME TO zuban_old");
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(s.list.isVisible() && s.listedCodes().isEmpty());
    }

    void fillsAppendLiveRowsInFixedPitchFont() {
        TestDatabase db;
        seed();
        LookupForm f;
        // Live rows only; of an array, the element asked for alone.
        QCOMPARE(QList<int>({LookupPno(&f.form, 1), LookupWorkCode(&f.form, 1),
                             LookupPerson(&f.form, 3, 1), LookupPerson(&f.form, 1)}),
                 QList<int>(4, LookupFound));
        QCOMPARE(QList<int>({f.pno->count(), f.wno->count(), f.person->count(), f.person0->count(),
                             f.person1->count()}),
                 QList<int>({2, 1, 2, 0, 2}));
        QCOMPARE(f.pno->itemText(0), Lookup::items(Lookup::drawingNumbers()).value(0));
        QCOMPARE(f.pno->font().family() + QString::number(f.pno->font().pointSize()),
                 "ＭＳ ゴシック12");
        QCOMPARE(LenByte(f.person->itemText(0)), 32); // the 30-byte name is cut to 20
        // A second fill lists every row twice.
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFound));
        QCOMPARE(f.pno->count(), 4);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void lookUpReplacesTypedCodeWithTheItem() {
        TestDatabase db;
        seed();
        LookupForm f;
        const struct {
            QComboBox* combo;
            int mode, index;
            const char *typed, *code; // code "": not found, the text stays
        } cases[] = {
            {f.pno, 2, 0, "P001", "P001"}, {f.pno, 2, 0, "P009", ""},
            {f.wno, 2, 0, "W2", ""},       {f.wno, 2, 0, "W1", "W1"},
            {f.person, 2, 0, "N3", ""},    {f.person, 2, 0, "N2", "N2"},
            {f.person1, 4, 1, "N2", "N2"}, {f.person0, 4, 0, "N1", "N1"},
        };
        for (const auto& c : cases) {
            c.combo->setEditText(c.typed);
            const int result = c.combo == f.pno   ? LookupPno(&f.form, c.mode)
                               : c.combo == f.wno ? LookupWorkCode(&f.form, c.mode)
                                                  : LookupPerson(&f.form, c.mode, c.index);
            const bool found = *c.code != 0;
            QCOMPARE(result, int(found ? LookupFound : LookupNotFound));
            // Found: the whole item with its name; else the typed text stays.
            QCOMPARE(codeFromItem(c.combo->currentText()), found ? c.code : c.typed);
            QCOMPARE(c.combo->currentText() == c.typed, !found);
        }
        QCOMPARE(f.person1->currentText().left(2), "N2");         // the other element untouched
        QCOMPARE(LookupPerson(&f.form, 4, 2), int(LookupFailed)); // no such element
        QCOMPARE(LookupPno(&f.form, 3), int(LookupFailed));       // no such mode
        QCOMPARE(MessageBox::shown().size(), 2);
    }

    void codeCombosKeepTheTypedCode() {
        TestDatabase db;
        seed();
        LookupForm f;
        setupCodeCombo(f.pno);
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFound));
        QVERIFY(GuiTest::showActive(&f.form));
        f.pno->setFocus();
        f.pno->lineEdit()->selectAll();
        // Completion would make this the first item, matched regardless of case.
        GuiTest::type("p00");
        GuiTest::press(Qt::Key_Tab);
        QCOMPARE(f.pno->currentText(), "p00");

        // The separator of the items is never typed into a code, but a
        // picked item keeps it and may be edited.
        f.pno->setFocus();
        f.pno->lineEdit()->selectAll();
        GuiTest::type("P0　02");
        QCOMPARE(f.pno->currentText(), "P002");
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
        QCOMPARE(LookupPno(&f.form, 2), int(LookupFailed));
        QCOMPARE(f.pno->currentText(), "P001");
        QCOMPARE(LookupPno(&f.form, 1), int(LookupFailed));
        QCOMPARE(f.pno->count(), 0);
        QWidget bare;
        QCOMPARE(LookupWorkCode(&bare, 1), int(LookupFailed));
        QCOMPARE(MessageBox::shown().size(), 3);
        QVERIFY(MessageBox::shown().first().text.contains("zuban_m"));
    }
};

QTEST_MAIN(TestMasterScreens)
#include "test_master_screens.moc"
