#pragma once

#include <QDateTime>
#include <QSqlDatabase>

// A realistic, repeatable set of masters, unit prices, slips and one
// settlement run, dated relative to a given day so that it looks current.
namespace DemoData {

constexpr quint32 kSeed = 20031031;

struct Summary {
    int employees = 0;
    int homeWorkers = 0;
    int drawings = 0;
    int workCodes = 0;
    int priceLines = 0;
    int slips = 0;
    int settlementRows = 0;
};

// Fills a database that has the schema and no rows, in one transaction.
// Nothing is dated after `now`. Throws DbError; on failure nothing is left
// behind.
Summary fill(const QSqlDatabase& db, const QDateTime& now, quint32 seed = kSeed);

} // namespace DemoData
