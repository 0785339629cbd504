#pragma once

#include "core/money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <memory>

class SqlQuery;

// The single-row writes of settlement, each a prepared statement kept for
// the writer's life. Every write stamps 最終更新日時 and the employee. A
// write that changes no row, or more than the one it names, throws DbError
// like a failed statement, so a run never commits half of its work.
class SettlementWriter {
  public:
    explicit SettlementWriter(const QString& employeeCode);
    ~SettlementWriter();
    SettlementWriter(const SettlementWriter&) = delete;
    SettlementWriter& operator=(const SettlementWriter&) = delete;

    enum class Stamp { Set = 1, Clear = 2 };
    // Set: 精算日時 = time; Clear: 精算日時 = Null. 最終更新日時 = time.
    void StampSlip(const QDateTime& time, const QString& slipNumber, Stamp mode);
    // 精算単価 = price.
    void UpdateSlipPrice(const QString& slipNumber, UnitPrice price, const QDateTime& now);
    // One home-worker's row of run `run` for the typed period.
    void InsertSettlement(const QDateTime& run, const QString& workerCode, const QDate& firstDay,
                          const QDate& lastDay, qint64 slipCount, Yen amount, Yen tax, Yen total);
    // Marks the live row (run, home-worker) cancelled.
    void FlagSettlementDeleted(const QDateTime& run, const QDateTime& now,
                               const QString& workerCode);
    // Clears the stamp of every slip that row paid, deleted slips included;
    // returns how many.
    qint64 ReleaseSettledSlips(const QDateTime& run, const QDateTime& now,
                               const QString& workerCode);

  private:
    SqlQuery& statement(std::unique_ptr<SqlQuery>& slot, const char* sql);
    // The stored text of a time; a run writes the same one thousands of times.
    const QVariant& stored(const QDateTime& time);

    QString m_employee;
    QDateTime m_lastTime;
    QVariant m_lastText;
    std::unique_ptr<SqlQuery> m_stamp, m_unstamp, m_price, m_insert, m_flag, m_release;
};
