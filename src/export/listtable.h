#pragma once

#include "core/listcolumns.h"
#include "export/csvwriter.h"

#include <QList>
#include <QStringList>

// A list as its grid holds it: the heading row, which columns are shown,
// and the cell texts of every row. The list screens read it from their
// grid, tarvel-admin from the same loaders, so both write the same file.
struct ListTable {
    QString name;            // the list's name, "伝票一覧"
    QStringList headings;    // every column, hidden ones included
    QList<bool> shown;       // false: a hidden column (width 0) or one never exported
    QList<ColumnKind> kinds; // what each column's cells hold
    QList<QStringList> rows; // every column of each row, as displayed

    // The columns of a list, without rows.
    static ListTable of(const ListDefinition& list);
    // The rows written: those that show anything in a shown column.
    QList<QStringList> filledRows() const;
};

// What an export wrote, and the characters it had to replace.
struct ListFile {
    QByteArray bytes;
    QString replaced; // "" when nothing was replaced; else the places, for the clerk
};

// The table as CSV: the headings, then every row that shows anything, in
// the shown columns only. A cell that is a figure as displayed ("1,234",
// "12.500", "-3") is written as a number without separators; dates stay
// as shown (YYYY/MM/DD). In Shift-JIS, characters the code page lacks are
// replaced by settings.unmappable; without one the export is refused
// (AppError naming each place).
ListFile listCsv(const ListTable& table, const CsvSettings& settings);

enum class ListFormat { Excel, Csv };
// The format a file name asks for: ".xlsx" Excel, ".csv" CSV (any case);
// `otherwise` for any other name.
ListFormat listFormatOf(const QString& path, ListFormat otherwise);
