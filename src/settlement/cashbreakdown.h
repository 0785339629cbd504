#pragma once

#include "core/money.h"

#include <array>

// Notes and coins, largest first; there is no 2000-yen note.
constexpr std::array<Yen, 9> kCashDenominations = {10000, 5000, 1000, 500, 100, 50, 10, 5, 1};

// How many of each denomination pay `amount` with the fewest pieces, in the
// order of kCashDenominations. The counts always add back to the amount (a
// negative amount gives negative counts).
std::array<qint64, 9> breakDownCash(Yen amount);
