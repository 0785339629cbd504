#pragma once

#include <vector>

// The columns of the eight list kinds: heading and width in twips. A width
// of 0 is a hidden column (the row's key), shown neither on screen nor in
// an export.
//   1 drawing numbers  2 work codes  3 employees  4 home-workers
//   5 unit prices      6 slips       7 settlements  8 trial result
// What a column's cells hold, for files that keep types (a spreadsheet
// must not read a code such as "007" as the number 7).
enum class ColumnKind {
    Text,  // codes, names, remarks: kept as written
    Whole, // quantities, counts and yen
    Price, // unit prices, three decimals as shown
    Date,  // YYYY/MM/DD
};

struct ListColumn {
    const char16_t* heading; // empty: a hidden column without heading
    int widthTwips;
    ColumnKind kind = ColumnKind::Text;
    bool exported = true; // false: on screen only (the password mark)
};

// Kind 1 to 8; throws std::out_of_range for any other.
const std::vector<ListColumn>& listColumns(int kind);
