#include "core/screens/gridlayout.h"

#include "core/listcolumns.h"
#include "core/screens/listgrid.h"

namespace {

constexpr int layoutRows = 15;
constexpr int rowHeightTwips = 400;

} // namespace

void GridLayout(ListGrid* grid, const ListDefinition& list, bool selectFirstRow) {
    if (grid == nullptr)
        return;
    {
        ListGrid::Fill fill(grid);
        grid->setCols(list.count());
        grid->setRows(layoutRows);
        grid->clear();
        grid->resetColAlignments();
        grid->setRowHeightTwips(rowHeightTwips);
        for (int c = 0; c < list.count(); ++c) {
            grid->setColWidthTwips(c, list.columns[size_t(c)].widthTwips);
            grid->setColAlignment(c, list.alignment(c));
            const QString heading = list.heading(c);
            if (!heading.isEmpty()) {
                grid->setTextMatrix(0, c, heading);
                grid->setCellAlignment(0, c, Qt::AlignCenter);
            }
        }
    }
    if (selectFirstRow)
        grid->selectRow(1);
}
