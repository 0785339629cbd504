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
    r.texts.insert(QStringLiteral("作業コード"), code);
    r.texts.insert(QStringLiteral("作業項目"), name);
    r.deleted = deleted;
    return r;
}

QString storedText(const QString& sql) {
    SqlQuery q(sql);
    q.exec();
    return q.next() ? q.value(QStringLiteral("v")).toString() : QStringLiteral("<none>");
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
        gEmpCode = QStringLiteral("E09");
        MasterScreens s(pnoMaster());
        MasterEditScreen* edit = s.openEdit(EditMode::Add);
        QVERIFY(s.det(0)->hasFocus());
        GuiTest::type(QStringLiteral("X-10"));
        QTest::keyClick(s.det(0), Qt::Key_Return); // Enter moves on like Tab
        QVERIFY(s.det(1)->hasFocus());
        GuiTest::type(QStringLiteral("O'Neil 50% 「特」"));
        s.det(2)->setText(QStringLiteral("備考 "));
        s.clickUpdate();

        QCOMPARE(GuiTest::shownTexts(), QStringList{QStringLiteral("製品図番を追加しますか？")});
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::OkCancel);
        QCOMPARE(edit->result(), int(QDialog::Accepted));
        QCOMPARE(
            storedText(QStringLiteral("SELECT 図番名称 || '|' || 備考 || '|' || 削除フラグ || '|' "
                                      "|| 社員コード || '|' || 最終更新日時 AS v FROM zuban_m")),
            QStringLiteral("O'Neil 50% 「特」|備考|0|E09|2026-04-01 09:30:00"));
        QCOMPARE(s.listedCodes(), QStringList{QStringLiteral("X-10")});
        QCOMPARE(s.grid()->row(), 1);
    }

    void existingCodeIsOverwrittenOnlyAfterYes() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(),
                           workCode(QStringLiteral("W1"), QStringLiteral("旧"), true));
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText(QStringLiteral("W1"));
        s.det(1)->setText(QStringLiteral("新"));

        MessageBox::setNextAnswer(Answer::Ok);
        MessageBox::setNextAnswer(Answer::No);
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(),
                 (QStringList{
                     QStringLiteral("作業コードを追加しますか？"),
                     QStringLiteral("入力された作業コードは既に存在します。置き換えますか。")}));
        QCOMPARE(MessageBox::shown().at(1).buttons, MessageBox::Buttons::YesNo);
        QVERIFY(s.edit->isVisible());
        QVERIFY(s.det(0)->hasFocus());
        QCOMPARE(storedText(QStringLiteral("SELECT 作業項目 AS v FROM sagyou_m")),
                 QStringLiteral("旧"));

        MessageBox::clearShown();
        MessageBox::setNextAnswer(Answer::Ok);
        MessageBox::setNextAnswer(Answer::Yes);
        s.clickUpdate();
        QVERIFY(!s.edit->isVisible());
        // The overwrite brings the deleted record back with the typed fields.
        QCOMPARE(storedText(QStringLiteral("SELECT 作業項目 || 削除フラグ AS v FROM sagyou_m")),
                 QStringLiteral("新0"));
        QCOMPARE(storedText(QStringLiteral("SELECT COUNT(*) AS v FROM sagyou_m")),
                 QStringLiteral("1"));
        QCOMPARE(s.grid()->textMatrix(0, 1), QStringLiteral("作業コード")); // kind 2 kept
        QCOMPARE(s.listedCodes(), QStringList{QStringLiteral("W1")});
    }

    void cancelAndEmptyCodeWriteNothing() {
        TestDatabase db;
        MasterScreens s(pnoMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText(QStringLiteral("A1"));
        s.det(1)->setText(QStringLiteral("名称"));
        MessageBox::setNextAnswer(Answer::Cancel);
        s.clickUpdate();
        QVERIFY(s.edit->isVisible());
        QCOMPARE(s.det(1)->text(), QStringLiteral("名称"));
        QCOMPARE(storedText(QStringLiteral("SELECT COUNT(*) AS v FROM zuban_m")),
                 QStringLiteral("0"));

        // Leaving the empty code box is refused.
        s.det(0)->clear();
        s.det(0)->setFocus();
        MessageBox::clearShown();
        QTest::keyClick(s.det(0), Qt::Key_Tab);
        QVERIFY(s.det(0)->hasFocus());
        QCOMPARE(GuiTest::shownTexts(), QStringList{QStringLiteral("入力必須項目です。")});

        // Reached anyway with a blank code: the add fails, nothing is stored.
        s.det(0)->setText(QStringLiteral("   "));
        s.det(1)->setFocus();
        MessageBox::clearShown();
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts().last(), QStringLiteral("製品図番の追加に失敗しました。"));
        QVERIFY(s.edit->isVisible());
        QCOMPARE(storedText(QStringLiteral("SELECT COUNT(*) AS v FROM zuban_m")),
                 QStringLiteral("0"));

        QTest::keyClick(s.det(1), Qt::Key_Escape); // closes without saving
        QVERIFY(!s.edit->isVisible());
        QCOMPARE(storedText(QStringLiteral("SELECT COUNT(*) AS v FROM zuban_m")),
                 QStringLiteral("0"));
    }

    void failedExistenceTestNeverLeadsToAnInsert() {
        TestDatabase db;
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText(QStringLiteral("W5"));
        execSql(QStringLiteral("ALTER TABLE sagyou_m RENAME TO sagyou_old"));
        s.clickUpdate();
        const QStringList texts = GuiTest::shownTexts();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts.last(), QStringLiteral("作業コードの追加に失敗しました。"));
        QVERIFY(!texts.contains(
            QStringLiteral("入力された作業コードは既に存在します。置き換えますか。")));
        QVERIFY(s.edit->isVisible());
        execSql(QStringLiteral("ALTER TABLE sagyou_old RENAME TO sagyou_m"));
        QCOMPARE(storedText(QStringLiteral("SELECT COUNT(*) AS v FROM sagyou_m")),
                 QStringLiteral("0"));
    }

    void editChangesFieldsButNeverTheCode() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(),
                           workCode(QStringLiteral("W1"), QStringLiteral("組立")));
        insertMasterRecord(workCodeMaster(),
                           workCode(QStringLiteral("W2"), QStringLiteral("検査")));
        MasterScreens s(workCodeMaster());
        s.openEdit(EditMode::Edit, QStringLiteral("W2"));
        QVERIFY(!s.det(0)->isEnabled());
        QCOMPARE(s.det(0)->text(), QStringLiteral("W2"));
        QCOMPARE(s.det(1)->text(), QStringLiteral("検査"));
        s.det(1)->setText(QStringLiteral("最終検査"));
        s.editDeleted()->setChecked(true);
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(), QStringList{QStringLiteral("作業コードを編集しますか？")});
        QCOMPARE(storedText(QStringLiteral("SELECT 作業コード || 作業項目 || 削除フラグ AS v FROM "
                                           "sagyou_m WHERE 作業コード = 'W2'")),
                 QStringLiteral("W2最終検査1"));
        QCOMPARE(s.listedCodes(), QStringList{QStringLiteral("W1")}); // deleted row hidden

        // Shown again with the filter off, and restored from there.
        s.listFilter()->setChecked(false);
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        QCOMPARE(s.listedCodes(), (QStringList{"W1", "W2"}));
        QCOMPARE(s.grid()->textMatrix(2, 4), QStringLiteral("削除"));
        s.openEdit(EditMode::Edit, QStringLiteral("W2"));
        QVERIFY(s.editDeleted()->isChecked());
        s.editDeleted()->setChecked(false);
        s.clickUpdate();
        QCOMPARE(s.grid()->textMatrix(2, 4), QString());
        QVERIFY(!s.listFilter()->isChecked()); // the list keeps its filter

        // A record that cannot be read is never saved over with empty fields.
        execSql(QStringLiteral("ALTER TABLE sagyou_m DROP COLUMN 備考"));
        MessageBox::clearShown();
        s.openEdit(EditMode::Edit, QStringLiteral("W1"));
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(!s.edit->findChild<QPushButton*>(QStringLiteral("cmdUpd"))->isEnabled());
        execSql(QStringLiteral("ALTER TABLE sagyou_m ADD COLUMN 備考 TEXT"));

        // A record deleted meanwhile is a failed edit, not a silent success.
        s.openEdit(EditMode::Edit, QStringLiteral("W9"));
        MessageBox::clearShown();
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts().last(), QStringLiteral("作業コードの編集に失敗しました。"));
        QVERIFY(s.edit->isVisible());
    }

    void deletedEmployeeCannotLogIn() {
        TestDatabase db;
        MasterScreens s(empMaster());
        s.openEdit(EditMode::Add);
        QCOMPARE(s.det(2)->echoMode(), QLineEdit::Password);
        s.det(0)->setText(QStringLiteral("S1"));
        s.det(1)->setText(QStringLiteral("山田"));
        s.det(2)->setFocus();
        GuiTest::type(QStringLiteral("abc1234"));
        QCOMPARE(s.det(2)->text(), QStringLiteral("abc123")); // seventh refused
        QCOMPARE(s.det(2)->displayText(), QStringLiteral("******"));
        s.clickUpdate();
        QCOMPARE(s.grid()->textMatrix(1, 3), QStringLiteral("abc123"));
        QCOMPARE(LoginCheck(QStringLiteral("S1")), 0);

        s.openEdit(EditMode::Edit, QStringLiteral("S1"));
        s.editDeleted()->setChecked(true);
        s.clickUpdate();
        QCOMPARE(LoginCheck(QStringLiteral("S1")), 1);
        QVERIFY(s.listedCodes().isEmpty());
    }

    void everyScreenIsCentredAndNamesItsFields() {
        TestDatabase db;
        for (const MasterDef* def :
             {&pnoMaster(), &workCodeMaster(), &empMaster(), &personMaster()}) {
            MasterScreens s(*def);
            MasterEditScreen* edit = s.openEdit(EditMode::Add);
            QCOMPARE(GuiTest::unnamedFields(edit), QStringList());
            const QRect screen = edit->screen()->geometry();
            const QPoint centre = edit->geometry().center();
            QVERIFY2((centre - screen.center()).manhattanLength() <= 4,
                     qPrintable(QStringLiteral("%1 %2,%3 %4,%5")
                                    .arg(def->editScreen)
                                    .arg(centre.x())
                                    .arg(centre.y())
                                    .arg(screen.center().x())
                                    .arg(screen.center().y())));
        }
    }

    void requiredFieldsAreCheckedAgainAtSave() {
        TestDatabase db;
        MasterScreens s(personMaster());
        s.openEdit(EditMode::Add);
        s.det(0)->setText(QStringLiteral("N1")); // the name box is never entered
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(), QStringList{QStringLiteral("入力必須項目です。")});
        QVERIFY(s.det(1)->hasFocus());
        QVERIFY(s.edit->isVisible());
        QCOMPARE(storedText(QStringLiteral("SELECT COUNT(*) AS v FROM naishoku_m")),
                 QStringLiteral("0"));
    }

    void byteLimitsRefuseKeysOfFullWidthText() {
        TestDatabase db;
        MasterScreens s(pnoMaster());
        s.openEdit(EditMode::Add);
        s.det(1)->setFocus();
        GuiTest::type(QString(21, QChar(0x30A2)));              // ア: 2 bytes each
        QCOMPARE(s.det(1)->text(), QString(20, QChar(0x30A2))); // 40 bytes typed to the end
        s.det(1)->setText(QString(19, QChar(0x30A2)) + QStringLiteral("a"));
        s.det(1)->setCursorPosition(s.det(1)->text().size());
        QTest::keyClick(s.det(1), Qt::Key_A);
        QCOMPARE(s.det(1)->text().size(), 21); // 40 bytes with the half-width letter
        GuiTest::type(QStringLiteral("イ"));
        QCOMPARE(LenByte(s.det(1)->text()), 40);
        QCOMPARE(s.det(1)->maxLength(), 40);
    }

    void codeBoxesRefuseTheFullWidthSpace() {
        // The code lists separate code and name by it, so such a code would
        // never be found again.
        TestDatabase db;
        for (const MasterDef* def : allMasters()) {
            MasterScreens s(*def);
            s.openEdit(EditMode::Add);
            QLineEdit* code = s.box(def->key().box);
            code->setFocus();
            GuiTest::type(QStringLiteral("A　B"));
            QCOMPARE(code->text(), QStringLiteral("AB"));
        }
    }

    void homeWorkerDateOfBirthAndRequiredName() {
        TestDatabase db;
        MasterScreens s(personMaster());
        s.openEdit(EditMode::Add);
        QLineEdit* day = s.box(QStringLiteral("txtDay_0"));
        s.det(0)->setText(QStringLiteral("N7"));
        QTest::keyClick(s.det(0), Qt::Key_Tab);
        QVERIFY(s.det(1)->hasFocus());
        QTest::keyClick(s.det(1), Qt::Key_Tab); // the name is required
        QVERIFY(s.det(1)->hasFocus());
        QCOMPARE(GuiTest::shownTexts(), QStringList{QStringLiteral("入力必須項目です。")});
        GuiTest::type(QStringLiteral("田中"));
        QTest::keyClick(s.det(1), Qt::Key_Tab);
        QVERIFY(day->hasFocus());

        MessageBox::clearShown();
        GuiTest::type(QStringLiteral("20030230"));
        QTest::keyClick(day, Qt::Key_Tab);
        QVERIFY(day->hasFocus());
        QCOMPARE(GuiTest::shownTexts(),
                 QStringList{QStringLiteral("日付の入力に誤りがあります。")});
        day->selectAll();
        GuiTest::type(QStringLiteral("19600503x9"));
        QCOMPARE(day->text(), QStringLiteral("19600503"));
        QTest::keyClick(day, Qt::Key_Tab);
        QCOMPARE(day->text(), QStringLiteral("1960/05/03"));
        QVERIFY(s.det(3)->hasFocus()); // 住所 comes before 郵便番号
        QTest::keyClick(s.det(3), Qt::Key_Tab);
        QVERIFY(s.det(2)->hasFocus());
        GuiTest::type(QStringLiteral("123-4567x"));
        QCOMPARE(s.det(2)->text(), QStringLiteral("123-4567"));
        s.det(8)->setFocus();
        GuiTest::type(QStringLiteral("ABC"));
        QCOMPARE(s.det(8)->text(), QStringLiteral("AB"));
        MessageBox::clearShown();
        s.clickUpdate();
        QCOMPARE(GuiTest::shownTexts(), QStringList{QStringLiteral("内職者を追加しますか？")});
        QCOMPARE(storedText(
                     QStringLiteral("SELECT 生年月日 || 郵便番号 || ランク AS v FROM naishoku_m")),
                 QStringLiteral("1960-05-03123-4567AB"));
        QCOMPARE(s.grid()->textMatrix(1, 3), QStringLiteral("1960/05/03"));

        // Opened again: shown with slashes, edited as digits, "0" clears it.
        s.openEdit(EditMode::Edit, QStringLiteral("N7"));
        day = s.box(QStringLiteral("txtDay_0"));
        QCOMPARE(day->text(), QStringLiteral("1960/05/03"));
        day->setFocus();
        QCOMPARE(day->text(), QStringLiteral("19600503"));
        day->selectAll();
        GuiTest::type(QStringLiteral("0"));
        QTest::keyClick(day, Qt::Key_Tab);
        QCOMPARE(day->text(), QString());
        s.clickUpdate();
        QCOMPARE(
            storedText(QStringLiteral("SELECT COALESCE(生年月日, 'null') AS v FROM naishoku_m")),
            QStringLiteral("null"));
        QCOMPARE(s.grid()->textMatrix(1, 3), QString());
    }
};

QTEST_MAIN(TestMasterEditScreen)
#include "test_masteredit_screen.moc"
