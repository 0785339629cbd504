#include "core/apperror.h"
#include "core/screens/fields.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "core/session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

struct Expected {
    int kind;
    QStringList headings; // "" for a column without heading
    QList<int> widths;
};

const QList<Expected> everyKind = {
    {1, {"", "製品図番", "図番名称", "備　考", "削除"}, {0, 2200, 4300, 5400, 600}},
    {2, {"", "作業コード", "作業項目", "備　考", "削除"}, {0, 2200, 4300, 5400, 600}},
    {3,
     {"", "社員コード", "氏　　名", "パスワード", "備　　考", "削除"},
     {0, 1200, 2200, 1200, 5400, 600}},
    {4,
     {"", "内職者コード", "内職者氏名", "生年月日", "郵便番号", "住　　所", "電　話", "携帯電話",
      "ファックス", "メールアドレス", "ランク", "備　考", "削除"},
     {0, 1200, 2200, 1500, 900, 2200, 1400, 1500, 1400, 1650, 600, 1200, 600}},
    {5,
     {"", "製品図番", "作業コード", "作業項目", "内職者コード", "内職者氏名", "単価", "適用開始日",
      "適用終了日", "備　考", "削除"},
     {0, 2200, 2200, 2200, 1200, 2200, 1500, 1500, 1500, 2700, 600}},
    {6,
     {"", "伝票番号", "製品図番", "図番名称", "作業コード", "作業項目", "作業区分", "内職者氏名",
      "単価", "依頼日", "払出数量", "納入日", "納入数量", "管理ロットNO", "備考", "削除"},
     {0, 1200, 2200, 1200, 2200, 1200, 1200, 1650, 1400, 1400, 900, 1400, 900, 2200, 1200, 600}},
    {7,
     {"", "", "", "内職者氏名", "対象伝票枚数", "精算金額", "消費税", "合計金額", "", "削除"},
     {0, 0, 0, 2200, 1650, 1650, 1400, 1650, 0, 600}},
    {8,
     {"", "内職者コード", "内職者氏名", "製品図番", "作業コード", "作業項目", "単価", "納入数量",
      "合　計"},
     {0, 1200, 2200, 2200, 2200, 2200, 1650, 1200, 1650}},
};

// A list screen with every control the layouts reach by name.
struct ListForm {
    QWidget form;
    ListGrid* grid = new ListGrid(&form);
    QLineEdit* after = new QLineEdit(&form);
    QCheckBox* chkDel = new QCheckBox(&form);
    QCheckBox* chkFin = new QCheckBox(&form);
    QRadioButton* opt0 = new QRadioButton(&form);
    QRadioButton* opt1 = new QRadioButton(&form);
    QLineEdit* txtDatetime = new QLineEdit(&form);
    QList<QWidget*> buttons;

    ListForm() {
        grid->setObjectName("grd1");
        chkDel->setObjectName("ChkDel");
        chkFin->setObjectName("chkFin");
        opt0->setObjectName("opt_0");
        opt1->setObjectName("opt_1");
        txtDatetime->setObjectName("txtDatetime");
        auto* layout = new QVBoxLayout(&form);
        layout->addWidget(grid);
        layout->addWidget(after);
        for (const char* name : {"cmdUpd", "cmdCopy", "cmdTest", "cmdAccount", "cmdACancel",
                                 "cmdAPrint", "cmdMPrint", "cmdBPrint", "cmdPPrint"})
            add(new QPushButton(&form), name);
        add(new QLineEdit(&form), "txtDet_0");
        add(new QLineEdit(&form), "txtDet_1");
        add(new QComboBox(&form), "cboPerson");
        add(new QComboBox(&form), "cboPno");
    }
    void add(QWidget* w, const char* name) {
        w->setObjectName(name);
        buttons << w;
    }
    QWidget* named(const char* name) { return form.findChild<QWidget*>(name); }
    void setAllEnabled(bool on) {
        for (QWidget* w : buttons)
            w->setEnabled(on);
    }
    bool show() {
        form.resize(900, 700);
        form.show();
        QApplication::setActiveWindow(&form);
        return QTest::qWaitForWindowActive(&form);
    }
};

QPoint cellCentre(ListGrid* grid, int row, int col) {
    return grid->visualRect(grid->model()->index(row - 1, col)).center();
}

} // namespace

class TestListGrid : public QObject {
    Q_OBJECT
  private slots:
    void everyKindHasItsHeadingsWidthsAndRows() {
        for (const Expected& e : everyKind) {
            ListForm f;
            GridLayout(&f.form, e.kind, 1, 1);
            ListGrid* g = f.grid;
            QCOMPARE(g->cols(), e.headings.size());
            QCOMPARE(g->rows(), 15);
            QCOMPARE(g->model()->rowCount(), 14);
            for (int c = 0; c < g->cols(); ++c) {
                QCOMPARE(g->textMatrix(0, c), e.headings[c]);
                QCOMPARE(g->model()->headerData(c, Qt::Horizontal).toString(), e.headings[c]);
                QCOMPARE(g->colWidthTwips(c), e.widths[c]);
                QCOMPARE(g->isColumnHidden(c), e.widths[c] == 0);
                if (e.widths[c] > 0)
                    QCOMPARE(g->columnWidth(c), e.widths[c] / 15);
                if (!e.headings[c].isEmpty()) {
                    QCOMPARE(g->cellAlignment(0, c), Qt::AlignCenter);
                    QCOMPARE(g->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole),
                             QVariant(int(Qt::AlignCenter)));
                }
                for (int r = 1; r < 15; ++r)
                    QVERIFY(g->textMatrix(r, c).isEmpty());
            }
            QCOMPARE(g->horizontalHeader()->height(), twipsToPixels(400));
            for (int r = 0; r < 15; ++r)
                QCOMPARE(g->rowHeightTwips(r), 400);
            for (int r = 0; r < 14; ++r)
                QCOMPARE(g->rowHeight(r), twipsToPixels(400));
            QCOMPARE(g->row(), 1);
        }
        // Kinds outside 1..8 leave the grid alone.
        ListForm f;
        GridLayout(&f.form, 3, 1, 1);
        f.grid->setTextMatrix(2, 1, "E01");
        GridLayout(&f.form, 0, 1, 1);
        GridLayout(&f.form, 9, 1, 1);
        QCOMPARE(f.grid->cols(), 6);
        QCOMPARE(f.grid->textMatrix(2, 1), QString("E01"));
    }

    void loadersGrowTheGridAndReadBackCells() {
        ListForm f;
        GridLayout(&f.form, 1, 1, 1);
        ListGrid* g = f.grid;
        for (int r = 1; r <= 20; ++r) {
            if (r >= 15)
                g->setRows(r + 1);
            g->setRowTexts(r, {QString::number(r), QString("P%1").arg(r), "名称"});
            g->setTextMatrix(r, 4, r % 2 ? "削除" : "");
        }
        g->setColAlignment(1, Qt::AlignLeft);
        g->setColAlignment(4, Qt::AlignHCenter);
        g->setCellAlignment(7, 1, Qt::AlignRight);
        QCOMPARE(g->rows(), 21);
        for (int r = 15; r <= 20; ++r) {
            QCOMPARE(g->rowHeightTwips(r), 400);
            QCOMPARE(g->rowHeight(r - 1), twipsToPixels(400));
        }
        QCOMPARE(g->textMatrix(20, 1), QString("P20"));
        QCOMPARE(g->textMatrix(19, 4), QString("削除"));
        QCOMPARE(g->textMatrix(0, 1), QString("製品図番"));
        // The view shows grid row r as model row r - 1.
        const QModelIndex cell = g->model()->index(6, 1);
        QCOMPARE(cell.data().toString(), QString("P7"));
        QCOMPARE(Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt()),
                 Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(g->cellAlignment(8, 1), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(g->cellAlignment(3, 4), Qt::AlignCenter);
        QCOMPARE(g->cellAlignment(0, 4), Qt::AlignCenter); // heading keeps its own
        // Shrinking drops the rows and their texts.
        g->setRows(10);
        g->setRows(12);
        QVERIFY(g->textMatrix(11, 1).isEmpty());
        QCOMPARE(g->textMatrix(9, 1), QString("P9"));
        QVERIFY_THROWS_EXCEPTION(AppError, g->setTextMatrix(12, 1, "x"));
        QVERIFY_THROWS_EXCEPTION(AppError, g->textMatrix(1, 5));
        QVERIFY_THROWS_EXCEPTION(AppError, g->selectRow(0));
    }

    void relayoutClearsCellsAndAlignments() {
        ListForm f;
        ListGrid* g = f.grid;
        GridLayout(&f.form, 6, 1, 1);
        g->setRows(40);
        for (int r = 1; r < 40; ++r)
            g->setTextMatrix(r, 15, "削除");
        g->setColAlignment(2, Qt::AlignRight);
        g->setCellAlignment(5, 2, Qt::AlignHCenter);
        g->selectRow(30);
        GridLayout(&f.form, 2, 0, 1);
        QCOMPARE(g->rows(), 15);
        QCOMPARE(g->cols(), 5);
        QCOMPARE(g->textMatrix(0, 1), QString("作業コード"));
        QCOMPARE(g->textMatrix(0, 2), QString("作業項目"));
        for (int r = 1; r < 15; ++r)
            for (int c = 0; c < 5; ++c)
                QVERIFY(g->textMatrix(r, c).isEmpty());
        QCOMPARE(g->cellAlignment(5, 2), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(g->colAlignment(2), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(g->row(), 1);
        // A column hidden by kind 7 shows again under kind 1.
        GridLayout(&f.form, 7, 0, 1);
        QVERIFY(g->isColumnHidden(1) && g->isColumnHidden(2) && g->isColumnHidden(8));
        GridLayout(&f.form, 1, 0, 1);
        QVERIFY(!g->isColumnHidden(1) && !g->isColumnHidden(2));
        QVERIFY(g->isColumnHidden(0));
    }

    void emptyGridHasItsFirstRowSelected() {
        ListForm f;
        QVERIFY(f.show());
        GridLayout(&f.form, 4, 1, 1);
        ListGrid* g = f.grid;
        QCOMPARE(g->row(), 1);
        QVERIFY(g->selectionModel()->isRowSelected(0, QModelIndex()));
        QCOMPARE(g->selectionModel()->selectedRows().size(), 1);
        QVERIFY(!g->isColumnHidden(g->currentIndex().column()));
        QVERIFY(g->textMatrix(g->row(), 1).isEmpty());
    }

    void userSelectionIsSignalled() {
        ListForm f;
        GridLayout(&f.form, 2, 1, 1);
        ListGrid* g = f.grid;
        for (int r = 1; r < 15; ++r)
            g->setRowTexts(r, {"", QString("W%1").arg(r)});
        QVERIFY(f.show());
        QSignalSpy changed(g, &ListGrid::rowChanged);
        QSignalSpy doubled(g, &ListGrid::rowDoubleClicked);
        QSignalSpy gained(g, &ListGrid::focusGained);
        QSignalSpy lost(g, &ListGrid::focusLost);

        f.after->setFocus();
        QCOMPARE(lost.size(), 1);
        g->setFocus();
        QCOMPARE(gained.size(), 1);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellCentre(g, 3, 1));
        QCOMPARE(g->row(), 3);
        QCOMPARE(changed.takeLast().at(0).toInt(), 3);
        QTest::keyClick(g, Qt::Key_Down);
        QTest::keyClick(g, Qt::Key_Down);
        QCOMPARE(g->row(), 5);
        QCOMPARE(changed.takeLast().at(0).toInt(), 5);
        QTest::keyClick(g, Qt::Key_Up);
        QCOMPARE(changed.takeLast().at(0).toInt(), 4);
        changed.clear();
        QTest::keyClick(g, Qt::Key_W); // letters never move the selection
        QCOMPARE(g->row(), 4);
        QVERIFY(changed.isEmpty());

        // A double-click arrives as a press followed by a double-click press.
        QTest::mousePress(g->viewport(), Qt::LeftButton, {}, cellCentre(g, 6, 2));
        QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, cellCentre(g, 6, 2));
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, cellCentre(g, 6, 2));
        QCOMPARE(doubled.size(), 1);
        QCOMPARE(doubled.at(0).at(0).toInt(), 6);
        QCOMPARE(g->row(), 6);

        QTest::keyClick(g, Qt::Key_Tab); // Tab leaves the grid
        QVERIFY(f.after->hasFocus());
        QCOMPARE(lost.size(), 2);
        QCOMPARE(g->row(), 6);
        g->selectRow(2); // programmatic moves are announced too
        QCOMPARE(changed.takeLast().at(0).toInt(), 2);
        QVERIFY(g->selectionModel()->isRowSelected(1, QModelIndex()));
    }

    void batchFillKeepsTheCurrentRow() {
        ListForm f;
        GridLayout(&f.form, 5, 1, 1);
        ListGrid* g = f.grid;
        g->selectRow(3);
        QSignalSpy changed(g, &ListGrid::rowChanged);
        g->beginFill();
        for (int r = 1; r <= 200; ++r) {
            if (r >= 15)
                g->setRows(r + 1);
            g->setTextMatrix(r, 0, QString::number(r));
        }
        g->endFill();
        QCOMPARE(g->model()->rowCount(), 200);
        QCOMPARE(g->model()->index(199, 0).data().toString(), QString("200"));
        QCOMPARE(g->row(), 3);
        QVERIFY(g->selectionModel()->isRowSelected(2, QModelIndex()));
        QVERIFY(changed.isEmpty());
        QVERIFY(g->isColumnHidden(0));
        QCOMPARE(g->columnWidth(1), 2200 / 15);
        g->beginFill();
        g->setRows(2);
        g->endFill();
        QCOMPARE(g->row(), 1);
        QCOMPARE(changed.takeLast().at(0).toInt(), 1);
    }

    void resetPutsTheScreenIntoItsStartState() {
        ListForm f;
        QCheckBox* del = f.chkDel;
        // Kinds 1 to 4: only reset 1 touches the filters.
        gSelKey = "K1";
        f.setAllEnabled(true);
        GridLayout(&f.form, 3, 0, 1);
        QVERIFY(!del->isChecked());
        QCOMPARE(gSelKey, QString("K1"));
        QVERIFY(f.named("cmdUpd")->isEnabled());
        GridLayout(&f.form, 3, 1, 1);
        QVERIFY(del->isChecked() && !f.chkFin->isChecked());
        QVERIFY(gSelKey.isEmpty());
        QVERIFY(!f.named("cmdUpd")->isEnabled());
        QVERIFY(f.named("cmdCopy")->isEnabled());

        del->setChecked(false);
        f.setAllEnabled(true);
        gPriceSerial = 42;
        GridLayout(&f.form, 5, 1, 1);
        QVERIFY(del->isChecked() && f.chkFin->isChecked());
        QCOMPARE(gPriceSerial, 0);
        QVERIFY(!f.named("cmdUpd")->isEnabled() && !f.named("cmdCopy")->isEnabled());

        del->setChecked(false);
        f.chkFin->setChecked(false);
        f.setAllEnabled(true);
        gSelKey = "031031-004";
        GridLayout(&f.form, 6, 1, 1);
        QVERIFY(del->isChecked() && f.chkFin->isChecked());
        QVERIFY(gSelKey.isEmpty());
        for (const char* n : {"txtDet_0", "txtDet_1", "cboPerson", "cboPno", "cmdUpd"})
            QVERIFY2(!f.named(n)->isEnabled(), n);
        QVERIFY(f.named("cmdTest")->isEnabled());

        // Kind 7: the option's handler runs even when it was already chosen.
        f.setAllEnabled(true);
        f.opt0->setChecked(true);
        QObject::connect(f.opt0, &QRadioButton::clicked, f.named("cmdTest"),
                         [&] { f.named("cmdTest")->setEnabled(true); });
        gSelKey = "x";
        gSelSeisanTime = "2026/04/01 09:00:00";
        GridLayout(&f.form, 7, 1, 1);
        QVERIFY(gSelKey.isEmpty() && gSelSeisanTime.isEmpty());
        QVERIFY(f.opt0->isChecked());
        QVERIFY(f.named("cmdTest")->isEnabled());
        for (const char* n :
             {"cmdAccount", "cmdACancel", "cmdAPrint", "cmdMPrint", "cmdBPrint", "cmdPPrint"})
            QVERIFY2(!f.named(n)->isEnabled(), n);

        gSeisanTimeText.clear();
        f.txtDatetime->setText("old");
        GridLayout(&f.form, 7, 2, 1);
        QVERIFY(!f.named("cmdAPrint")->isEnabled());
        QVERIFY(f.txtDatetime->text().isEmpty());
        gSeisanTimeText = "2026/04/01 09:30:00";
        GridLayout(&f.form, 7, 2, 1);
        QCOMPARE(f.txtDatetime->text(), gSeisanTimeText);
        for (const char* n : {"cmdAPrint", "cmdMPrint", "cmdBPrint", "cmdPPrint"})
            QVERIFY2(f.named(n)->isEnabled(), n);
        QVERIFY(!f.named("cmdAccount")->isEnabled());
        GridLayout(&f.form, 7, 3, 1);
        for (const char* n : {"cmdAPrint", "cmdMPrint", "cmdBPrint", "cmdPPrint"})
            QVERIFY2(!f.named(n)->isEnabled(), n);
        QCOMPARE(f.txtDatetime->text(), gSeisanTimeText);

        // Kind 8 resets nothing; a form without the named controls is fine.
        del->setChecked(false);
        GridLayout(&f.form, 8, 1, 1);
        QVERIFY(!del->isChecked());
        QWidget bare;
        auto* grid = new ListGrid(&bare);
        grid->setObjectName("grd1");
        gSelKey = "K";
        GridLayout(&bare, 6, 1, 1);
        QVERIFY(gSelKey.isEmpty());
        QCOMPARE(grid->cols(), 16);
    }
};

QTEST_MAIN(TestListGrid)
#include "test_listgrid.moc"
