#pragma once

#include "settlement/settlementcriteria.h"

#include <QDateTime>
#include <QString>
#include <QVariantList>

class SqlQuery;

// A statement and the values for its placeholders, in order.
struct BoundSql {
    QString sql;
    QVariantList values;
};

enum class SlipQueryMode {
    // Live, delivered, unsettled slips of the period and range, with the
    // home-worker's name and the work item; grouped by home-worker, then
    // drawing number and work code (the settlement's order).
    ToSettle = 1,
    // Live, delivered slips of the period and range, settled or not:
    // 製品伝票番号 and 精算日時, in the settlement's order.
    InPeriod = 2,
    // Live slips stamped with one run's time stamp: what the run paid,
    // whatever was edited since.
    OfRun = 3,
    // The slips of ToSettle, each home-worker's by request date (the
    // trial's order).
    ToTry = 4,
};

// The slip selections of settlement. `run` is used by OfRun only, the
// criteria by the others.
BoundSql SlipQuerySql(const SettlementCriteria& criteria, SlipQueryMode mode,
                      const QDateTime& run = {});

// The live settlement rows whose whole recorded period lies inside the
// criteria's period, in the worker range; by time stamp, then home-worker.
BoundSql cancellationQuerySql(const SettlementCriteria& criteria);

// " AND (column >= ?)" and/or " AND (column <= ?)" for the bounds given.
void appendWorkerRange(BoundSql& query, const SettlementCriteria& criteria, const QString& column);

// Binds every value and runs the statement.
void execBound(SqlQuery& query, const BoundSql& bound);
