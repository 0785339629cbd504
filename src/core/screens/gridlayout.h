#pragma once

class QWidget;

// Lays out form's grd1 as one of the eight list kinds (any other kind does
// nothing): headings, widths, 15 empty rows of 400 twips.
// reset 1 puts the screen's filters and buttons into their start state, found
// by objectName (a control the form lacks is skipped); for kind 7, reset 2
// enables the print buttons when a settlement has just run and shows its time
// stamp in txtDatetime, reset 3 disables the print buttons. For kind 7,
// reset 1 clicks opt_0, so its clicked handler runs even when it was already
// chosen. selectFirstRow 1 highlights row 1.
void GridLayout(QWidget* form, int kind, int reset, int selectFirstRow);
