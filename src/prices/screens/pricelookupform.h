#pragma once

#include "prices/pricelookup.h"

class QWidget;

// The price in force for what a slip entry screen shows: the date in its
// txtDay_0, the codes in cboPno, cboWNo and cboPerson (found by name).
// Throws AppError for a date that is not one, DbError on database failure.
PriceLookupResult PriceLookup(QWidget* form);
