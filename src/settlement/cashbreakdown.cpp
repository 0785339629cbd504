#include "settlement/cashbreakdown.h"

std::array<qint64, 9> breakDownCash(Yen amount) {
    std::array<qint64, 9> counts{};
    Yen rest = amount;
    for (size_t i = 0; i < kCashDenominations.size(); ++i) {
        counts[i] = rest / kCashDenominations[i];
        rest %= kCashDenominations[i];
    }
    return counts;
}
