#pragma once

#include <QString>

#include <span>

// What a column's cells hold, for files that keep types (a spreadsheet
// must not read a code such as "007" as the number 7).
enum class ColumnKind {
    Text,  // codes, names, remarks: kept as written
    Whole, // quantities, counts and yen
    Price, // unit prices, three decimals as shown
    Date,  // YYYY/MM/DD
    Mark,  // the deleted mark "削除": a text, centred
};

struct ListColumn {
    const char16_t* heading; // empty: a hidden column without heading
    int widthTwips;          // 0: hidden, shown neither on screen nor in an export
    ColumnKind kind = ColumnKind::Text;
    bool exported = true; // false: on screen only (the password mark)
};

// One list as its grid lays it out and an export writes it. Each list's
// definition lives beside its row loader, in its own subsystem; column 0
// is the row's key and hidden.
struct ListDefinition {
    const char16_t* name = u""; // "伝票一覧": the sheet and the start of an exported file's name
    std::span<const ListColumn> columns;

    int count() const { return int(columns.size()); }
    QString heading(int c) const;
    // How the grid aligns column c's cells: text left, a mark centred,
    // figures and dates right.
    Qt::Alignment alignment(int c) const;
    // Whether column c goes into an export when the grid shows it; columns
    // beyond the definition do.
    bool exported(int c) const;
};
