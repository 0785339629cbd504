#pragma once

class ListGrid;

// Lays out a list grid as one of the eight list kinds (any other kind does
// nothing): headings, widths, 15 empty rows of 400 twips; selectFirstRow
// highlights row 1. The filters and buttons that go with a list are put
// back into their start state by the screen that owns them.
//   1 drawing numbers  2 work codes  3 employees  4 home-workers
//   5 unit prices      6 slips       7 settlements  8 trial result
void GridLayout(ListGrid* grid, int kind, bool selectFirstRow = true);
