#include "core/apperror.h"
#include "core/listcolumns.h"
#include "core/screens/fields.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "support/guitest.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A list with its key, and one that hides two more columns like the settlements.
constexpr ListColumn kCodeColumns[] = {{u"", 0},
                                       {u"コード", 2200},
                                       {u"名称", 4300},
                                       {u"備　考", 5400},
                                       {u"削除", 600, ColumnKind::Mark}};
constexpr ListColumn kHiddenColumns[] = {
    {u"", 0}, {u"", 0}, {u"", 0}, {u"氏名", 2200}, {u"金額", 1650, ColumnKind::Whole}};
const ListDefinition kCodes{u"コード一覧", kCodeColumns};
const ListDefinition kHidden{u"精算一覧", kHiddenColumns};

// A grid with a box after it to take the focus.
struct ListForm {
    QWidget form;
    ListGrid* grid = new ListGrid(&form);
    QLineEdit* after = new QLineEdit(&form);

    explicit ListForm(const ListDefinition& list = kCodes) {
        auto* layout = new QVBoxLayout(&form);
        layout->addWidget(grid);
        layout->addWidget(after);
        GridLayout(grid, list);
    }
    bool show() {
        form.resize(900, 700);
        return GuiTest::showActive(&form);
    }
};

QPoint cellCentre(ListGrid* grid, int row, int col) {
    return grid->visualRect(grid->model()->index(row - 1, col)).center();
}

} // namespace

class TestListGrid : public QObject {
    Q_OBJECT
  private slots:
    void layoutHasTheListsColumnsAndRows() {
        for (const ListDefinition* list : {&kCodes, &kHidden}) {
            ListForm f(*list);
            ListGrid* g = f.grid;
            QVERIFY(g->cols() == list->count() && g->isColumnHidden(0)); // the key column
            QCOMPARE(QList<int>({g->rows(), g->model()->rowCount(), g->row()}),
                     QList<int>({15, 14, 1}));
            for (int c = 0; c < g->cols(); ++c) {
                QCOMPARE(g->isColumnHidden(c) ? 0 : g->columnWidth(c), g->colWidthTwips(c) / 15);
                QCOMPARE(g->textMatrix(0, c), list->heading(c));
            }
            QCOMPARE(g->rowHeight(13), twipsToPixels(400));
        }
        // Text left, the deleted mark centred, figures right.
        const ListForm codes(kCodes), hidden(kHidden);
        QCOMPARE(codes.grid->colAlignment(1), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(codes.grid->colAlignment(4), Qt::AlignCenter);
        QCOMPARE(hidden.grid->colAlignment(4), Qt::AlignRight | Qt::AlignVCenter);
    }

    void loadersGrowTheGridAndRelayoutClearsIt() {
        ListForm f;
        ListGrid* g = f.grid;
        for (int r = 1; r <= 20; ++r) {
            if (r >= 15)
                g->setRows(r + 1);
            g->setRowTexts(r, {QString::number(r), QString("P%1").arg(r), "名称"});
        }
        g->setColAlignment(1, Qt::AlignLeft);
        g->setCellAlignment(7, 1, Qt::AlignRight);
        QCOMPARE(g->rows(), 21);
        // The view shows grid row r as model row r - 1.
        const QModelIndex cell = g->model()->index(6, 1);
        QCOMPARE(cell.data().toString(), "P7");
        QCOMPARE(Qt::Alignment(cell.data(Qt::TextAlignmentRole).toInt()),
                 Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(g->cellAlignment(8, 1), Qt::AlignLeft | Qt::AlignVCenter);
        // Shrinking drops the rows and their texts.
        g->setRows(10);
        g->setRows(12);
        QVERIFY(g->textMatrix(11, 1).isEmpty());
        QCOMPARE(g->textMatrix(9, 1), "P9");
        QVERIFY_THROWS_EXCEPTION(AppError, g->setTextMatrix(12, 1, "x"));
        QVERIFY_THROWS_EXCEPTION(AppError, g->textMatrix(1, 5));
        QVERIFY_THROWS_EXCEPTION(AppError, g->selectRow(0));

        g->selectRow(9);
        GridLayout(g, kHidden);
        GridLayout(g, kCodes);
        QCOMPARE(g->rows() * 10 + g->row(), 151);
        QVERIFY(g->textMatrix(9, 1).isEmpty());
        QCOMPARE(g->cellAlignment(7, 1), Qt::AlignLeft | Qt::AlignVCenter);
        // A column the other list hid shows again.
        QVERIFY(!g->isColumnHidden(1) && !g->isColumnHidden(2));
    }

    void userSelectionIsSignalled() {
        ListForm f;
        ListGrid* g = f.grid;
        for (int r = 1; r < 15; ++r)
            g->setRowTexts(r, {"", QString("W%1").arg(r)});
        QVERIFY(f.show() && g->selectionModel()->isRowSelected(0, QModelIndex()));
        QSignalSpy changed(g, &ListGrid::rowChanged), doubled(g, &ListGrid::rowDoubleClicked);
        QSignalSpy gained(g, &ListGrid::focusGained), lost(g, &ListGrid::focusLost);

        f.after->setFocus();
        g->setFocus();
        QCOMPARE(lost.size() * 10 + gained.size(), 11);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cellCentre(g, 3, 1));
        QCOMPARE(changed.takeLast().at(0).toInt(), 3);
        QTest::keyClick(g, Qt::Key_Down);
        QTest::keyClick(g, Qt::Key_Down);
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

        // Home and End go to the first and last record and keep the column,
        // so the key columns stay in view.
        const int column = g->currentIndex().column();
        QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(g->row(), 14);
        QTest::keyClick(g, Qt::Key_Home);
        QCOMPARE(g->row(), 1);
        QCOMPARE(g->currentIndex().column(), column);

        QTest::keyClick(g, Qt::Key_Tab); // Tab leaves the grid
        QVERIFY(f.after->hasFocus());
        g->selectRow(2); // programmatic moves are announced too
        QCOMPARE(changed.takeLast().at(0).toInt(), 2);
    }

    void fillsKeepTheCurrentRowAndAlwaysEnd() {
        ListForm f;
        ListGrid* g = f.grid;
        g->selectRow(3);
        QSignalSpy changed(g, &ListGrid::rowChanged);
        g->beginFill();
        g->setRows(201);
        g->setTextMatrix(200, 0, "200");
        g->endFill();
        QCOMPARE(g->model()->index(199, 0).data().toString(), "200");
        QCOMPARE(g->row(), 3);
        QVERIFY(changed.isEmpty());
        g->beginFill();
        g->setRows(2);
        g->endFill();
        QCOMPARE(changed.takeLast().at(0).toInt(), 1);

        try {
            ListGrid::Fill fill(g);
            g->setRows(30);
            g->setTextMatrix(31, 1, "x"); // out of range: throws
        } catch (const AppError&) {
        }
        // The view follows the model again: the new rows are there to see.
        QCOMPARE(g->model()->rowCount(), 29);
        g->setTextMatrix(29, 1, "P29");
        QCOMPARE(g->model()->index(28, 1).data().toString(), "P29");
        QCOMPARE(g->rowHeight(28), twipsToPixels(400));
    }
};

QTEST_MAIN(TestListGrid)
#include "test_listgrid.moc"
