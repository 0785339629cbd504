#include "core/apperror.h"
#include "core/screens/fields.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A grid with a box after it to take the focus.
struct ListForm {
    QWidget form;
    ListGrid* grid = new ListGrid(&form);
    QLineEdit* after = new QLineEdit(&form);

    ListForm() {
        auto* layout = new QVBoxLayout(&form);
        layout->addWidget(grid);
        layout->addWidget(after);
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
    void everyKindHasItsColumnsAndRows() {
        for (int kind = 1; kind <= 8; ++kind) {
            ListForm f;
            GridLayout(f.grid, kind);
            ListGrid* g = f.grid;
            QVERIFY(g->cols() > 0);
            QCOMPARE(g->rows(), 15);
            QCOMPARE(g->model()->rowCount(), 14);
            QVERIFY(g->isColumnHidden(0)); // the key column
            for (int c = 0; c < g->cols(); ++c) {
                const QString heading = g->textMatrix(0, c);
                QCOMPARE(g->model()->headerData(c, Qt::Horizontal).toString(), heading);
                QCOMPARE(g->isColumnHidden(c), g->colWidthTwips(c) == 0);
                if (!g->isColumnHidden(c))
                    QCOMPARE(g->columnWidth(c), g->colWidthTwips(c) / 15);
                if (!heading.isEmpty())
                    QCOMPARE(g->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole),
                             QVariant(int(Qt::AlignCenter)));
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
        GridLayout(f.grid, 3);
        f.grid->setTextMatrix(2, 1, "E01");
        GridLayout(f.grid, 0);
        GridLayout(f.grid, 9);
        QCOMPARE(f.grid->cols(), 6);
        QCOMPARE(f.grid->textMatrix(2, 1), QString("E01"));
    }

    void loadersGrowTheGridAndReadBackCells() {
        ListForm f;
        GridLayout(f.grid, 1);
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
        GridLayout(f.grid, 6);
        g->setRows(40);
        for (int r = 1; r < 40; ++r)
            g->setTextMatrix(r, 15, "削除");
        g->setColAlignment(2, Qt::AlignRight);
        g->setCellAlignment(5, 2, Qt::AlignHCenter);
        g->selectRow(30);
        GridLayout(f.grid, 2);
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
        GridLayout(f.grid, 7);
        QVERIFY(g->isColumnHidden(1) && g->isColumnHidden(2) && g->isColumnHidden(8));
        GridLayout(f.grid, 1);
        QVERIFY(!g->isColumnHidden(1) && !g->isColumnHidden(2));
        QVERIFY(g->isColumnHidden(0));
    }

    void emptyGridHasItsFirstRowSelected() {
        ListForm f;
        QVERIFY(f.show());
        GridLayout(f.grid, 4);
        ListGrid* g = f.grid;
        QCOMPARE(g->row(), 1);
        QVERIFY(g->selectionModel()->isRowSelected(0, QModelIndex()));
        QCOMPARE(g->selectionModel()->selectedRows().size(), 1);
        QVERIFY(!g->isColumnHidden(g->currentIndex().column()));
        QVERIFY(g->textMatrix(g->row(), 1).isEmpty());
    }

    void userSelectionIsSignalled() {
        ListForm f;
        GridLayout(f.grid, 2);
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

        // Home and End go to the first and last record and keep the column,
        // so the key columns stay in view.
        const int column = g->currentIndex().column();
        QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(g->row(), 14);
        QCOMPARE(g->currentIndex().column(), column);
        QTest::keyClick(g, Qt::Key_Home);
        QCOMPARE(g->row(), 1);
        QCOMPARE(g->currentIndex().column(), column);
        g->selectRow(6);

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
        GridLayout(f.grid, 5);
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

    void aFillThatFailsStillEndsTheFill() {
        ListForm f;
        GridLayout(f.grid, 1);
        try {
            ListGrid::Fill fill(f.grid);
            f.grid->setRows(30);
            f.grid->setTextMatrix(31, 1, "x"); // out of range: throws
        } catch (const AppError&) {
        }
        // The view follows the model again: the new rows are there to see.
        QCOMPARE(f.grid->model()->rowCount(), 29);
        f.grid->setTextMatrix(29, 1, "P29");
        QCOMPARE(f.grid->model()->index(28, 1).data().toString(), QString("P29"));
        QCOMPARE(f.grid->rowHeight(28), twipsToPixels(400));
    }
};

QTEST_MAIN(TestListGrid)
#include "test_listgrid.moc"
