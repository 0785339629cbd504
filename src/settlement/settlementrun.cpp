#include "settlement/settlementrun.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "core/sqlvalues.h"
#include "settlement/settlementwriter.h"
#include "settlement/slippricing.h"
#include "settlement/slipquery.h"

#include <QHash>
#include <QThread>

namespace {

bool runTimeStampTaken(const QDateTime& t) {
    // A date typed on a slip may be stored without its time: it still
    // stands for midnight.
    const QVariant full = SqlValue::dateTime(t);
    const QVariant dateOnly = t.time() == QTime(0, 0) ? SqlValue::date(t.date()) : full;
    SqlQuery q(
        QStringLiteral("SELECT (EXISTS (SELECT 1 FROM seisan_t WHERE 精算日時 = ?)"
                       " OR EXISTS (SELECT 1 FROM seihin_t WHERE 精算日時 IN (?, ?))) AS taken"));
    q.bind(full).bind(full).bind(dateOnly).exec();
    return q.next() && q.integer(QStringLiteral("taken")) != 0;
}

// With the system clock a run started in the same second as the previous
// one waits until its time stamp is the clock's; a held test clock never
// moves, so there the stamp only moves on. Stamps further ahead than that
// come from a clock set back, and waiting for them could take hours.
void waitForClock(const QDateTime& t) {
    if (Clock::isFixed() || Clock::now().secsTo(t) > 2)
        return;
    while (Clock::now() < t)
        QThread::msleep(20);
}

void report(const SettlementProgress& progress, qint64 done, qint64 total) {
    if (progress)
        progress(done, total);
}

} // namespace

QDateTime freeRunTimeStamp(const QDateTime& from) {
    QDateTime t = from;
    while (runTimeStampTaken(t)) {
        t = t.addSecs(1);
        waitForClock(t);
    }
    return t;
}

UnpricedSlipsError::UnpricedSlipsError(const QStringList& slips)
    : AppError(QStringLiteral("単価が未登録の伝票があります。処理を中止しました。\n") +
               QString(numberedSlipList(slips)).replace(QLatin1Char('\r'), QLatin1Char('\n'))),
      m_slips(slips) {}

QStringList unpricedSlips(const SettlementCriteria& criteria) {
    checkCriteria(criteria);
    QStringList unpriced;
    for (const SelectedSlip& slip :
         readSelection(SlipQuerySql(criteria, SlipQueryMode::ToSettle))) {
        bool found = false;
        priceInForce(slip, &found);
        if (!found)
            unpriced << slip.number;
    }
    return unpriced;
}

SettlementResult RunSettlement(const SettlementCriteria& criteria,
                               const SettlementProgress& progress, const TaxRules& tax) {
    gSeisanTimeText.clear();
    checkCriteria(criteria);
    SqlTransaction tx;
    const QList<SelectedSlip> slips =
        readSelection(SlipQuerySql(criteria, SlipQueryMode::ToSettle));
    SettlementResult result;
    if (slips.isEmpty())
        return result;

    // Every slip is priced and checked before the first write, so that a
    // refusal names all the slips concerned.
    QList<UnitPrice> prices;
    QStringList unpriced;
    prices.reserve(slips.size());
    for (const SelectedSlip& slip : slips) {
        checkPayable(slip);
        bool found = false;
        prices.append(priceInForce(slip, &found));
        if (!found)
            unpriced << slip.number;
    }
    if (!unpriced.isEmpty() && !criteria.allowUnpriced)
        throw UnpricedSlipsError(unpriced);

    // The money is reckoned before the first write, so that an amount too
    // large refuses the run before anything is sent.
    const QDateTime run = freeRunTimeStamp(databaseNow());
    QList<SlipWrite> writes;
    writes.reserve(slips.size());
    QHash<QString, qsizetype> workerIndex;
    QList<WorkerTax> taxes;
    for (qsizetype i = 0; i < slips.size(); ++i) {
        const SelectedSlip& slip = slips.at(i);
        const UnitPrice price = prices.at(i);
        SlipWrite& write = writes.emplace_back(SlipWrite{slip.number, std::nullopt});
        if (storedPriceDiffers(slip, price)) {
            write.newPrice = price;
            ++result.pricesChanged;
        }
        auto it = workerIndex.constFind(slip.workerCode);
        if (it == workerIndex.cend()) {
            it = workerIndex.insert(slip.workerCode, result.workers.size());
            result.workers.append(WorkerSettlement{run, slip.workerCode});
            taxes.append(WorkerTax(tax));
        }
        WorkerSettlement& w = result.workers[*it];
        w.slipCount += 1;
        w.amount = checkedAdd(w.amount, amountOf(price, slip.quantity));
        taxes[*it].add(slip.deliveryDate, price, slip.quantity);
    }
    for (qsizetype i = 0; i < result.workers.size(); ++i) {
        WorkerSettlement& w = result.workers[i];
        w.tax = taxes.at(i).total();
        w.total = checkedAdd(w.amount, w.tax);
    }
    result.slipCount = slips.size();

    SettlementWriter writer(criteria.employeeCode);
    report(progress, 0, result.slipCount);
    writer.stampSlips(run, writes, progress);
    writer.insertSettlements(result.workers, criteria.firstDay, criteria.lastDay);
    tx.commit();

    result.run = run;
    result.runText = formatDateTime(run);
    gSeisanTimeText = result.runText;
    return result;
}

CancelResult CancelSettlement(const SettlementCriteria& criteria,
                              const SettlementProgress& progress) {
    gSeisanTimeText.clear();
    checkCriteria(criteria);
    SqlTransaction tx;
    const QDateTime now = Clock::now();
    CancelResult result;
    {
        const BoundSql bound = cancellationQuerySql(criteria);
        SqlQuery q(bound.sql);
        execBound(q, bound);
        while (q.next()) {
            WorkerSettlement row;
            row.run = SqlValue::toDateTime(q.value(QStringLiteral("精算日時")));
            row.workerCode = q.str(QStringLiteral("内職者コード"));
            if (!row.run.isValid())
                throw AppError(QStringLiteral("内職者 %1 の精算日時が読めません: %2")
                                   .arg(row.workerCode, q.str(QStringLiteral("精算日時"))));
            row.slipCount = q.integer(QStringLiteral("精算対象伝票枚数"));
            row.amount = q.integer(QStringLiteral("精算金額"));
            row.tax = q.integer(QStringLiteral("消費税"));
            row.total = q.integer(QStringLiteral("合計金額"));
            result.rows << row;
        }
    }
    if (result.rows.isEmpty())
        return result;

    SettlementWriter writer(criteria.employeeCode);
    report(progress, 0, result.rows.size());
    result.slipsReleased = writer.CancelSettlements(result.rows, now);
    report(progress, result.rows.size(), result.rows.size());
    tx.commit();

    result.run = result.rows.last().run;
    result.runText = formatDateTime(result.run);
    gSeisanTimeText = result.runText;
    return result;
}
