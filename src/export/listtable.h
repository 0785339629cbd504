#pragma once

#include "export/csvwriter.h"

#include <QList>
#include <QStringList>

// A list as its grid holds it: the heading row, which columns are shown,
// and the cell texts of every row. The list screens read it from their
// grid, tarvel-admin from the same loaders, so both write the same CSV.
struct ListTable {
    QStringList headings;    // every column, hidden ones included
    QList<bool> shown;       // false: a hidden column (width 0) or one never exported
    QList<QStringList> rows; // every column of each row, as displayed

    // The columns of a list kind (core/listcolumns.h), without rows.
    static ListTable ofKind(int kind);
};

// Whether column c of a list kind goes into an export when it is shown.
bool exportedColumn(int kind, int c);

// The table as CSV: the headings, then every row that shows anything, in
// the shown columns only. A cell that is a figure as displayed ("1,234",
// "12.500", "-3") is written as a number without separators; dates stay
// as shown (YYYY/MM/DD).
QByteArray listCsv(const ListTable& table, CsvEncoding encoding);

// The name of an exported list, also the start of its file name:
// "伝票一覧" for the slips, "精算一覧" for the settlements, ...
QString listExportName(int kind);
