#pragma once

#include "core/money.h"
#include "settlement/settlementcriteria.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

struct WorkerSettlement;

// One slip a run writes: its number as stored and, when the stored price
// must change, the new 精算単価.
struct SlipWrite {
    QString number;
    std::optional<UnitPrice> newPrice;
};

// The writes of settlement, sent in bulk: a few statements per thousand
// rows whatever the engine. Every write stamps 最終更新日時 and the
// employee. A write that changes fewer or more rows than it names throws
// DbError like a failed statement, so a run never commits half of its work.
// `done` hears how many rows were sent so far.
class SettlementWriter {
  public:
    explicit SettlementWriter(const QString& employeeCode);

    // 精算日時 = 最終更新日時 = run, and the new price where one is given.
    void stampSlips(const QDateTime& run, const QList<SlipWrite>& slips,
                    const SettlementProgress& done = {});
    // 精算単価 = the new price of each slip that has one; 最終更新日時 = now.
    void updateSlipPrices(const QList<SlipWrite>& slips, const QDateTime& now,
                          const SettlementProgress& done = {});
    // One row per home-worker of run `run` for the typed period.
    void insertSettlements(const QList<WorkerSettlement>& rows, const QDate& firstDay,
                           const QDate& lastDay);
    // Marks the live rows (run, home-worker) cancelled and clears the stamp
    // of every slip they paid, deleted slips included; returns how many
    // slips were released.
    qint64 CancelSettlements(const QList<WorkerSettlement>& rows, const QDateTime& now);

  private:
    QString m_employee;
};
