#pragma once

#include "export/listtable.h"

#include <QByteArray>

// The table as an Excel workbook (.xlsx), so that a spreadsheet keeps codes
// as written: one sheet named after the list, the heading row bold and
// frozen, the shown columns and filled rows as in the CSV. Cells are typed
// by their column: text (never a formula, whatever it starts with), whole
// numbers "#,##0", unit prices "#,##0.000", dates shown "yyyy/mm/dd". A
// cell of a figure column that is not a figure stays text. Columns are as
// wide as their longest line. Throws AppError when the file cannot be made.
QByteArray listWorkbook(const ListTable& table);
