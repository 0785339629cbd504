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

SettlementResult RunSettlement(const SettlementCriteria& criteria,
                               const SettlementProgress& progress) {
    gSeisanTimeText.clear();
    checkCriteria(criteria);
    SqlTransaction tx;
    const QList<SelectedSlip> slips =
        readSelection(SlipQuerySql(criteria, SlipQueryMode::ToSettle));
    SettlementResult result;
    if (slips.isEmpty())
        return result;

    const QDateTime run = freeRunTimeStamp(databaseNow());
    SettlementWriter writer(criteria.employeeCode);
    QHash<QString, qsizetype> workerIndex;
    const qint64 total = slips.size();
    report(progress, 0, total);
    for (const SelectedSlip& slip : slips) {
        writer.StampSlip(run, slip.number, SettlementWriter::Stamp::Set);
        const UnitPrice price = priceInForce(slip);
        if (storedPriceDiffers(slip, price)) {
            writer.UpdateSlipPrice(slip.number, price, run);
            ++result.pricesChanged;
        }
        auto it = workerIndex.constFind(slip.workerCode);
        if (it == workerIndex.cend()) {
            it = workerIndex.insert(slip.workerCode, result.workers.size());
            result.workers.append(WorkerSettlement{run, slip.workerCode});
        }
        WorkerSettlement& w = result.workers[*it];
        const Yen amount = amountOf(price, slip.quantity);
        const Yen tax = taxOf(price, slip.quantity);
        w.slipCount += 1;
        w.amount = checkedAdd(w.amount, amount);
        w.tax = checkedAdd(w.tax, tax);
        w.total = checkedAdd(w.total, checkedAdd(amount, tax));
        ++result.slipCount;
        report(progress, result.slipCount, total);
    }
    for (const WorkerSettlement& w : std::as_const(result.workers))
        writer.InsertSettlement(run, w.workerCode, criteria.firstDay, criteria.lastDay, w.slipCount,
                                w.amount, w.tax, w.total);
    tx.commit();

    result.run = run;
    result.runText = FormatDateTime(run);
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
        const BoundSql bound = CancellationQuerySql(criteria);
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
    const qint64 total = result.rows.size();
    qint64 done = 0;
    report(progress, 0, total);
    for (const WorkerSettlement& row : std::as_const(result.rows)) {
        writer.FlagSettlementDeleted(row.run, now, row.workerCode);
        result.slipsReleased += writer.ReleaseSettledSlips(row.run, now, row.workerCode);
        report(progress, ++done, total);
    }
    tx.commit();

    result.run = result.rows.last().run;
    result.runText = FormatDateTime(result.run);
    gSeisanTimeText = result.runText;
    return result;
}
