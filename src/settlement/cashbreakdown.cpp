#include "settlement/cashbreakdown.h"

#include "settlement/settlementlist.h"
#include "transfer/transferfile.h"

CashCounts breakDownCash(Yen amount) {
    CashCounts counts{};
    Yen rest = amount;
    for (size_t i = 0; i < kCashDenominations.size(); ++i) {
        counts[i] = rest / kCashDenominations[i];
        rest %= kCashDenominations[i];
    }
    return counts;
}

QList<CashLine> cashLinesOfRun(const QDateTime& run, PaidFigure figure) {
    QList<CashLine> lines;
    const QSet<QString> byTransfer = workersPaidByTransfer();
    for (const SettlementRow& row : settlementRowsOfRun(run)) {
        if (byTransfer.contains(row.workerCode))
            continue;
        const Yen paid = row.figures().paid(figure);
        lines.append(CashLine{row.workerCode, row.workerName, paid, breakDownCash(paid)});
    }
    return lines;
}
