#pragma once

#include <QString>

// Slip numbers: YYMMDD of the day of issue, "-" and the day's sequence
// 001 to 999, ten characters.
inline constexpr int SlipsPerDay = 999;

// The next free number of Clock::today(): one above the day's highest,
// deleted slips included, other days ignored; "" when the day's 999 are
// used. A number shown before saving is only a forecast: InsertSlip takes
// the number again inside its write transaction. Throws DbError.
QString NewSlipNo();
