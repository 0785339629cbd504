#include "core/screens/gridlayout.h"

#include "core/listcolumns.h"
#include "core/screens/listgrid.h"

namespace {

constexpr int layoutRows = 15;
constexpr int rowHeightTwips = 400;

} // namespace

void GridLayout(ListGrid* grid, int kind, bool selectFirstRow) {
    if (kind < 1 || kind > 8 || grid == nullptr)
        return;
    const std::vector<ListColumn>& columns = listColumns(kind);
    {
        ListGrid::Fill fill(grid);
        grid->setCols(int(columns.size()));
        grid->setRows(layoutRows);
        grid->clear();
        grid->resetColAlignments();
        grid->setRowHeightTwips(rowHeightTwips);
        for (int c = 0; c < int(columns.size()); ++c) {
            grid->setColWidthTwips(c, columns[c].widthTwips);
            const QString heading = QString::fromUtf16(columns[c].heading);
            if (!heading.isEmpty()) {
                grid->setTextMatrix(0, c, heading);
                grid->setCellAlignment(0, c, Qt::AlignCenter);
            }
        }
    }
    if (selectFirstRow)
        grid->selectRow(1);
}
