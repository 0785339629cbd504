#include "settlement/trial.h"

#include "core/clock.h"
#include "core/numberformat.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "settlement/settlementwriter.h"
#include "settlement/slippricing.h"
#include "settlement/slipquery.h"

const ListDefinition& trialListDefinition() {
    static constexpr ListColumn columns[] = {{u"", 0},
                                             {u"内職者コード", 1365},
                                             {u"内職者氏名", 2200},
                                             {u"製品図番", 2200},
                                             {u"作業コード", 2035},
                                             {u"作業項目", 2200},
                                             {u"単価", 1650, ColumnKind::Price},
                                             {u"納入数量", 1200, ColumnKind::Whole},
                                             {u"合　計", 1650, ColumnKind::Whole}};
    static const ListDefinition list{u"試算結果", columns};
    return list;
}

TrialResult RunTrial(const SettlementCriteria& criteria, const SettlementProgress& progress) {
    checkCriteria(criteria);
    SqlTransaction tx;
    const QList<SelectedSlip> slips = readSelection(SlipQuerySql(criteria, SlipQueryMode::ToTry));
    const QDateTime now = Clock::now();
    TrialResult result;
    QList<SlipWrite> writes;
    const qint64 total = slips.size();
    if (progress)
        progress(0, total);
    for (const SelectedSlip& slip : slips) {
        TrialRow row;
        row.slipNumber = slip.number;
        row.workerCode = slip.workerCode;
        row.workerName = slip.workerName;
        row.drawingNumber = slip.drawingNumber;
        row.workCode = slip.workCode;
        row.workItem = slip.workItem;
        checkPayable(slip);
        bool found = false;
        row.price = priceInForce(slip, &found);
        row.unpriced = !found;
        if (storedPriceDiffers(slip, row.price)) {
            writes.append(SlipWrite{slip.number, row.price});
            ++result.pricesChanged;
        }
        row.quantity = slip.quantity;
        row.amount = amountOf(row.price, slip.quantity);
        row.priceText = row.price.text(NumberPattern::PriceList);
        row.quantityText = formatNumber(row.quantity, NumberPattern::Count);
        row.amountText = formatNumber(row.amount, NumberPattern::AmountList);
        result.rows << row;
    }
    // The bar follows the slips; only the repriced ones are written.
    SettlementWriter(criteria.employeeCode)
        .updateSlipPrices(writes, now, [&](qint64 done, qint64 repriced) {
            if (progress)
                progress(total - repriced + done, total);
        });
    if (progress)
        progress(total, total);
    tx.commit();
    return result;
}

bool ListSettledSlips(const SettlementCriteria& criteria, QString& list) {
    checkCriteria(criteria);
    const BoundSql bound = SlipQuerySql(criteria, SlipQueryMode::InPeriod);
    SqlQuery q(bound.sql);
    execBound(q, bound);
    QStringList settled;
    while (q.next()) {
        if (!q.isNull(QStringLiteral("精算日時")))
            settled << q.str(QStringLiteral("製品伝票番号"));
    }
    list += numberedSlipList(settled);
    return !settled.isEmpty();
}
