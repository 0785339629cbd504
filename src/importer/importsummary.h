#pragma once

#include "core/money.h"
#include "importer/importcheck.h"

#include <QMap>
#include <QSqlDatabase>
#include <QString>

// What a clerk checks against the old program after the move.
struct ImportSummary {
    struct Unsettled {
        qint64 slips = 0;
        Yen amount = 0;
        friend bool operator==(const Unsettled&, const Unsettled&) = default;
    };
    struct Run {
        qint64 rows = 0, slips = 0;
        Yen amount = 0, tax = 0, total = 0;
        friend bool operator==(const Run&, const Run&) = default;
    };
    QMap<QString, qint64> rows;         // by table
    QMap<QString, Unsettled> unsettled; // live delivered unsettled slips, by home-worker
    QMap<QString, Run> runs;            // settlement rows as stored, by 精算日時
};

// Before: every row of the source, as far as it converted, added as it is
// read.
class SourceSummary {
  public:
    SourceSummary();
    void add(const OldTables::Table& table, const QVariantList& row);
    const ImportSummary& summary() const { return m_summary; }

  private:
    ImportSummary m_summary;
};
// After: the rows in the target. Throws DbError.
ImportSummary summariseDatabase(const QSqlDatabase& db);

// Side by side, each line that differs marked; `agrees` tells whether none does.
QString summaryText(const ImportSummary& before, const ImportSummary& after, bool* agrees);
