#pragma once

class ListGrid;
struct ListDefinition;

// Lays out a list grid as its list's definition says: headings, widths, 15
// empty rows of 400 twips; selectFirstRow highlights row 1. The filters
// and buttons that go with a list are put back into their start state by
// the screen that owns them.
void GridLayout(ListGrid* grid, const ListDefinition& list, bool selectFirstRow = true);
