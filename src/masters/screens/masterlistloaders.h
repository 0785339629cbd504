#pragma once

#include "masters/masterdef.h"

class QWidget;

// Fill grd1 of a laid-out list screen (GridLayout first) with the master's
// rows; hideDeleted 1 leaves out rows marked deleted. The grid grows past
// its 14 empty rows as needed. A database error is reported in a message
// box and leaves the grid empty; the result is then false.
bool loadMasterList(QWidget* form, const MasterDef& def, int hideDeleted);
bool LoadPnoList(QWidget* form, int hideDeleted);
bool LoadWorkCodeList(QWidget* form, int hideDeleted);
bool LoadEmpList(QWidget* form, int hideDeleted);
bool LoadPersonList(QWidget* form, int hideDeleted);
