#include "core/session.h"
#include "core/sqlquery.h"
#include "masters/masterrecord.h"
#include "masterscreenfixture.h"
#include "support/testdatabase.h"

#include <QLabel>

namespace {
void addDrawings(int count, int deleted = -1) {
    for (int i = 1; i <= count; ++i) {
        MasterRecord r;
        r.texts.insert("製品図番", QStringLiteral("D%1").arg(i, 2, 10, QChar('0')));
        r.texts.insert("図番名称", QStringLiteral("図番%1").arg(i));
        r.deleted = i == deleted;
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

    void emptyTableOpensAddOnly() {
        TestDatabase db;
        MasterScreens s(empMaster());
        QCOMPARE(s.list.selectedKey(), QString());
        QVERIFY(!s.listButton("cmdUpd")->isEnabled());
        QVERIFY(s.grid()->hasFocus());
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
        s.list.findChild<QCheckBox*>("ChkDel")->setFocus();
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
        QVERIFY(s.list.isVisible());
        QVERIFY(s.listedCodes().isEmpty());
    }
};

QTEST_MAIN(TestMasterListScreen)
#include "test_masterlist_screen.moc"
