#include "settlement/incomewatch.h"

#include "core/numberformat.h"
#include "homework/yearlystatement.h"
#include "settlement/slippricing.h"
#include "settlement/slipquery.h"

#include <map>

namespace {

QString yen(Yen value) {
    return formatNumber(value, NumberPattern::AmountList) + QStringLiteral("円");
}

} // namespace

QString IncomeCrossing::describe() const {
    return QStringLiteral("%1 %2 %3 → %4: %5")
        .arg(workerCode, workerName, yen(paidBefore), yen(withRun),
             lines.join(QStringLiteral("、")));
}

QList<IncomeCrossing> incomeCrossings(const SettlementCriteria& criteria,
                                      const QList<IncomeLine>& lines, const QDate& runDay,
                                      const TaxRules& tax) {
    if (lines.isEmpty())
        return {};
    checkCriteria(criteria);
    struct Pay {
        QString name;
        Yen amount = 0;
        WorkerTax tax;
    };
    std::map<QString, Pay> pay; // in code order
    for (const SelectedSlip& slip :
         readSelection(SlipQuerySql(criteria, SlipQueryMode::ToSettle))) {
        checkPayable(slip);
        const UnitPrice price = priceInForce(slip);
        Pay& p =
            pay.try_emplace(slip.workerCode, Pay{slip.workerName, 0, WorkerTax(tax)}).first->second;
        p.amount = checkedAdd(p.amount, amountOf(price, slip.quantity));
        p.tax.add(slip.deliveryDate, price, slip.quantity);
    }
    const QHash<QString, Yen> paid = paidInYearUpTo(runDay);
    QList<IncomeCrossing> crossings;
    for (const auto& [code, p] : pay) {
        IncomeCrossing c{code, p.name, paid.value(code), 0, {}};
        c.withRun = checkedAdd(c.paidBefore, checkedAdd(p.amount, p.tax.total()));
        const QStringList before = IncomeLines::crossed(lines, c.paidBefore);
        for (const QString& line : IncomeLines::crossed(lines, c.withRun))
            if (!before.contains(line))
                c.lines << line;
        if (!c.lines.isEmpty())
            crossings << c;
    }
    return crossings;
}
