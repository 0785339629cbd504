#include "app/frmmenu.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "masters/masterrecord.h"
#include "masterscreenfixture.h"
#include "support/testdatabase.h"

#include <QLabel>
#include <QTimer>

namespace {
void addDrawings(int count, int firstDeleted = -1) {
    for (int i = 1; i <= count; ++i) {
        MasterRecord r;
        r.texts.insert(QStringLiteral("製品図番"), QStringLiteral("D%1").arg(i, 2, 10, QChar('0')));
        r.texts.insert(QStringLiteral("図番名称"), QStringLiteral("図番%1").arg(i));
        r.deleted = i == firstDeleted;
        insertMasterRecord(pnoMaster(), r);
    }
}
} // namespace

class TestMasterListScreen : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        MessageBox::setTestMode(true);
        MessageBox::clearShown();
    }

    void emptyTableShowsFourteenEmptyRowsAndOpensAddOnly() {
        TestDatabase db;
        MasterScreens s(empMaster());
        QCOMPARE(s.grid()->rows(), 15);
        QVERIFY(s.listFilter()->isChecked());
        QCOMPARE(s.list.selectedKey(), QString());
        QVERIFY(!s.listButton("cmdUpd")->isEnabled());
        QVERIFY(s.grid()->hasFocus());

        // A double-click on an empty row opens the edit screen in add mode.
        QString mode;
        QTimer::singleShot(0, [&mode] {
            QWidget* edit = QApplication::activeModalWidget();
            if (!edit)
                return;
            mode = edit->findChild<QLabel*>(QStringLiteral("lblMode"))->text();
            edit->close();
        });
        emit s.grid()->rowDoubleClicked(3);
        QCOMPARE(mode, QStringLiteral("追　加"));
    }

    void twentyRowsGrowTheGridAndSelectionFollowsTheRow() {
        TestDatabase db;
        addDrawings(20);
        MasterScreens s(pnoMaster());
        QCOMPARE(s.grid()->rows(), 21);
        QCOMPARE(s.listedCodes().size(), 20);
        QCOMPARE(s.grid()->textMatrix(1, 0), QStringLiteral("D01"));
        QCOMPARE(s.grid()->textMatrix(20, 2), QStringLiteral("図番20"));
        QCOMPARE(s.list.selectedKey(), QStringLiteral("D01"));
        QVERIFY(s.listButton("cmdUpd")->isEnabled());

        s.grid()->selectRow(7);
        QCOMPARE(s.list.selectedKey(), QStringLiteral("D07"));
        s.list.findChild<QCheckBox*>(QStringLiteral("ChkDel"))->setFocus();
        QVERIFY(s.listButton("cmdUpd")->isEnabled()); // a key is still selected

        // Enter on the grid moves on like Tab; it never opens a record.
        s.grid()->setFocus();
        QTest::keyClick(s.grid(), Qt::Key_Return);
        QVERIFY(!s.grid()->hasFocus());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void filterShowsDeletedRowsOnlyWhenAskedAndEmptyRowsHaveNoKey() {
        TestDatabase db;
        addDrawings(4, 2);
        MasterScreens s(pnoMaster());
        QCOMPARE(s.listedCodes(), (QStringList{"D01", "D03", "D04"}));
        s.listFilter()->setChecked(false);
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        QCOMPARE(s.listedCodes(), (QStringList{"D01", "D02", "D03", "D04"}));
        QCOMPARE(s.grid()->textMatrix(2, 4), QStringLiteral("削除"));
        QCOMPARE(s.grid()->textMatrix(1, 4), QString());
        QCOMPARE(s.grid()->row(), 1);
        QVERIFY(s.grid()->hasFocus());
        s.listFilter()->setChecked(true);
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        QCOMPARE(s.listedCodes(), (QStringList{"D01", "D03", "D04"}));
        s.grid()->selectRow(5); // below the data
        QCOMPARE(s.list.selectedKey(), QString());
        QVERIFY(!s.listButton("cmdUpd")->isEnabled());
    }

    void personListShowsDatesAndEscapeCloses() {
        TestDatabase db;
        execSql(
            QStringLiteral("INSERT INTO naishoku_m (内職者コード, 内職者氏名, 生年月日, 郵便番号) "
                           "VALUES ('N1', '佐藤', '1960-05-03', '100-0001'), ('N2', '鈴木', "
                           "NULL, '')"));
        MasterScreens s(personMaster());
        QCOMPARE(s.grid()->textMatrix(1, 3), QStringLiteral("1960/05/03"));
        QCOMPARE(s.grid()->cellAlignment(1, 3) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(s.grid()->cellAlignment(1, 2) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(s.grid()->cellAlignment(1, 12) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QTest::keyClick(s.grid(), Qt::Key_Escape);
        QVERIFY(!s.list.isVisible());
    }

    void menuButtonsOpenTheirMasterLists() {
        TestDatabase db;
        db.writeIni(QStringLiteral("[Access]\nUID=0\n"));
        FrmMenu menu;
        const QList<std::pair<QString, const MasterDef*>> buttons = {
            {QStringLiteral("cmdPNo"), &pnoMaster()},
            {QStringLiteral("cmdWorkCd"), &workCodeMaster()},
            {QStringLiteral("cmdEMP"), &empMaster()},
            {QStringLiteral("cmdPerson"), &personMaster()}};
        for (const auto& [name, def] : buttons) {
            QString opened;
            QTimer::singleShot(0, [&opened] {
                if (QWidget* screen = QApplication::activeModalWidget()) {
                    opened = screen->objectName() + QLatin1Char('/') +
                             screen->findChild<QLabel*>(QStringLiteral("Label2"))->text();
                    screen->close();
                }
            });
            menu.findChild<QPushButton*>(name)->click();
            QCOMPARE(opened, def->listScreen + QLatin1Char('/') + def->title);
        }
    }

    void loaderFailureIsReportedAndLeavesTheScreenOpen() {
        TestDatabase db;
        addDrawings(2);
        MasterScreens s(pnoMaster());
        execSql(QStringLiteral("ALTER TABLE zuban_m RENAME TO zuban_old"));
        QTest::mouseClick(s.listButton("cmdSelect"), Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(s.list.isVisible());
        QVERIFY(s.listedCodes().isEmpty());
    }
};

QTEST_MAIN(TestMasterListScreen)
#include "test_masterlist_screen.moc"
