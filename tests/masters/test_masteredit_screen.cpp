#include "core/bytetext.h"
#include "core/login.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "masters/masterrecord.h"
#include "masterscreenfixture.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QLabel>

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
    q.exec();
    return q.next() ? q.value("v").toString() : "<none>";
}
} // namespace

class TestMasterEditScreen : public QObject {
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
        QVERIFY(s.edit->isVisible());
        QVERIFY(s.det(0)->hasFocus());
        QCOMPARE(storedText("SELECT 作業項目 AS v FROM sagyou_m"), "旧");

        MessageBox::clearShown();
        MessageBox::setNextAnswer(Answer::Ok);
        MessageBox::setNextAnswer(Answer::Yes);
        s.clickUpdate();
        QVERIFY(!s.edit->isVisible());
        // The overwrite brings the deleted record back with the typed fields.
        QCOMPARE(storedText("SELECT 作業項目 || 削除フラグ AS v FROM sagyou_m"), "新0");
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM sagyou_m"), "1");
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
        QVERIFY(s.edit->isVisible());
        QCOMPARE(s.det(1)->text(), "名称");
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
        QCOMPARE(GuiTest::shownTexts().last(), "製品図番の追加に失敗しました。");
        QVERIFY(s.edit->isVisible());
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM zuban_m"), "0");

        QTest::keyClick(s.det(1), Qt::Key_Escape); // closes without saving
        QVERIFY(!s.edit->isVisible());
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM zuban_m"), "0");
    }

    void failedExistenceTestNeverLeadsToAnInsert() {
        TestDatabase db;
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText("W5");
        execSql("ALTER TABLE sagyou_m RENAME TO sagyou_old");
        s.clickUpdate();
        const QStringList texts = GuiTest::shownTexts();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts.last(), "作業コードの追加に失敗しました。");
        QVERIFY(!texts.contains("入力された作業コードは既に存在します。置き換えますか。"));
        QVERIFY(s.edit->isVisible());
        execSql("ALTER TABLE sagyou_old RENAME TO sagyou_m");
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM sagyou_m"), "0");
    }

    void editChangesFieldsButNeverTheCode() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), workCode("W1", "組立"));
        insertMasterRecord(workCodeMaster(), workCode("W2", "検査"));
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Edit, "W2");
        QVERIFY(!s.det(0)->isEnabled());
        QCOMPARE(s.det(0)->text(), "W2");
        QCOMPARE(s.det(1)->text(), "検査");
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
        QVERIFY(!s.edit->findChild<QPushButton*>("cmdUpd")->isEnabled());
        execSql("ALTER TABLE sagyou_m ADD COLUMN 備考 TEXT");

        // A record deleted meanwhile is a failed edit, not a silent success.
        s.openEdit(EditMode::Edit, "W9");
        MessageBox::clearShown();
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts().last(), "作業コードの編集に失敗しました。");
        QVERIFY(s.edit->isVisible());
    }

    void deletedEmployeeCannotLogIn() {
        TestDatabase db;
        MasterScreens s(empMaster());
        s.openEdit(EditMode::Add);
        QCOMPARE(s.det(2)->echoMode(), QLineEdit::Password);
        s.det(0)->setText("S1");
        s.det(1)->setText("山田");
        s.det(2)->setFocus();
        GuiTest::type("abc1234");
        QCOMPARE(s.det(2)->text(), "abc123"); // seventh refused
        QCOMPARE(s.det(2)->displayText(), "******");
        s.clickUpdate();
        QCOMPARE(s.grid()->textMatrix(1, 3), "abc123");
        QCOMPARE(LoginCheck("S1"), 0);

        s.openEdit(EditMode::Edit, "S1");
        s.editDeleted()->setChecked(true);
        s.clickUpdate();
        QCOMPARE(LoginCheck("S1"), 1);
        QVERIFY(s.listedCodes().isEmpty());
    }

    void everyScreenIsCentredNamesItsFieldsAndKeepsCodesFindable() {
        TestDatabase db;
        for (const MasterDef* def : allMasters()) {
            MasterScreens s(*def);
            MasterEditScreen* edit = s.openEdit(EditMode::Add);
            QCOMPARE(GuiTest::unnamedFields(edit), QStringList());
            const QPoint off = edit->geometry().center() - edit->screen()->geometry().center();
            QVERIFY2(off.manhattanLength() <= 4, qPrintable(def->editScreen));
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

    void requiredFieldsAreCheckedAgainAtSave() {
        TestDatabase db;
        MasterScreens s(personMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText("N1"); // the name box is never entered
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"入力必須項目です。"});
        QVERIFY(s.det(1)->hasFocus());
        QVERIFY(s.edit->isVisible());
        QCOMPARE(storedText("SELECT COUNT(*) AS v FROM naishoku_m"), "0");
    }

    void homeWorkerDateOfBirthPostcodeAndRank() {
        TestDatabase db;
        MasterScreens s(personMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText("N7");
        s.det(1)->setText("田中");
        QLineEdit* day = s.box("txtDay_0");
        day->setFocus();
        GuiTest::type("20030230");
        QTest::keyClick(day, Qt::Key_Tab);
        QVERIFY(day->hasFocus());
        QCOMPARE(GuiTest::shownTexts(), QStringList{"日付の入力に誤りがあります。"});
        day->selectAll();
        GuiTest::type("19600503");
        QTest::keyClick(day, Qt::Key_Tab);
        s.det(2)->setFocus();
        GuiTest::type("123-4567x");
        s.det(8)->setFocus();
        GuiTest::type("ABC");
        MessageBox::clearShown();
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(), QStringList{"内職者を追加しますか？"});
        QCOMPARE(storedText("SELECT 生年月日 || 郵便番号 || ランク AS v FROM naishoku_m"),
                 "1960-05-03123-4567AB");
        QCOMPARE(s.grid()->textMatrix(1, 3), "1960/05/03");

        // Opened again: shown with slashes, "0" clears it.
        s.openEdit(EditMode::Edit, "N7");
        day = s.box("txtDay_0");
        QCOMPARE(day->text(), "1960/05/03");
        day->setFocus();
        day->selectAll();
        GuiTest::type("0");
        QTest::keyClick(day, Qt::Key_Tab);
        s.clickUpdate();
        QCOMPARE(storedText("SELECT COALESCE(生年月日, 'null') AS v FROM naishoku_m"), "null");
        QCOMPARE(s.grid()->textMatrix(1, 3), QString());
    }
};

QTEST_MAIN(TestMasterEditScreen)
#include "test_masteredit_screen.moc"
