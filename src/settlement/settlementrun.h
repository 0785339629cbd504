#pragma once

#include "core/apperror.h"
#include "core/money.h"
#include "settlement/consumptiontax.h"
#include "settlement/settlementcriteria.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One seisan_t row a settlement wrote, or a cancellation took back.
struct WorkerSettlement {
    QDateTime run;
    QString workerCode;
    qint64 slipCount = 0;
    Yen amount = 0;
    Yen tax = 0;
    Yen total = 0;
};

struct SettlementResult {
    QDateTime run;                   // T; invalid when no slip was settled
    QString runText;                 // T as "yyyy/mm/dd hh:mm:ss"; "" when no slip was settled
    QList<WorkerSettlement> workers; // one per home-worker, in code order
    qint64 slipCount = 0;
    qint64 pricesChanged = 0; // slips whose stored 精算単価 was refreshed
    bool settled() const { return slipCount > 0; }
};

struct CancelResult {
    QDateTime run;                // the last settlement taken back; invalid when none
    QString runText;              // its text; "" when nothing matched
    QList<WorkerSettlement> rows; // the rows taken back, by time stamp and code
    qint64 slipsReleased = 0;
    bool cancelled() const { return !rows.isEmpty(); }
};

// A settlement refused because slips of its selection have no price in
// force and criteria.allowUnpriced was not set.
class UnpricedSlipsError : public AppError {
  public:
    explicit UnpricedSlipsError(const QStringList& slips);
    const QStringList& slips() const { return m_slips; }

  private:
    QStringList m_slips;
};

// Settles every live, delivered, unsettled slip of the criteria: re-priced
// at the price in force on its request date, stamped with the run's time
// stamp T, one seisan_t row per home-worker, tax by `tax` (the rate of each
// slip's 納入日). All or nothing: any failure (an unpayable stored value,
// unpriced slips not allowed) rolls the whole run back and throws AppError
// (DbError with the in-use text when another copy holds the database past
// the busy timeout). Sets gSeisanTimeText to T, or "" when nothing was
// settled.
SettlementResult RunSettlement(const SettlementCriteria& criteria,
                               const SettlementProgress& progress = {},
                               const TaxRules& tax = readTaxRules());

// The slips of the settlement's selection that have no price in force, in
// the settlement's order (untrimmed numbers). Throws AppError.
QStringList unpricedSlips(const SettlementCriteria& criteria);

// Takes back the live settlements whose recorded period lies inside the
// criteria's period (and home-worker in the range): rows flagged deleted,
// their slips unsettled. All or nothing like RunSettlement. Sets
// gSeisanTimeText to the last settlement taken back, or "".
CancelResult CancelSettlement(const SettlementCriteria& criteria,
                              const SettlementProgress& progress = {});

// A time stamp for a new run, at or after `from`, that no seisan_t or
// seihin_t row carries yet. Call inside the run's write transaction, so
// that no other run can take it meanwhile.
QDateTime freeRunTimeStamp(const QDateTime& from);
