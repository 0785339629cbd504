#pragma once

#include "core/sqldialect.h"

#include <QList>
#include <QVariantList>
#include <functional>
#include <memory>

class SqlQuery;

// One statement run for many rows at once: the rows go in chunks, each
// chunk as one VALUES list, so that thousands of rows cost a few round
// trips to a server instead of one each. Both engines name the list's
// columns column1, column2, ...
//
//   BulkRows stamp({"UPDATE seihin_t SET 精算日時 = ? FROM (%1) AS v"
//                   " WHERE seihin_t.製品伝票番号 = v.column1", ...}, {"(?)", "(?)"});
//   stamp.run({when}, rows);
class BulkRows {
  public:
    // `sql` holds %1 where the VALUES list goes; `row` is one row's form,
    // such as "(?, CAST(? AS numeric))" (a server types a list's values by
    // their casts).
    BulkRows(const EngineSql& sql, const EngineSql& row, int chunkRows = 1000);
    ~BulkRows();
    BulkRows(const BulkRows&) = delete;
    BulkRows& operator=(const BulkRows&) = delete;

    // Runs the statement once per chunk, `leading` bound before each chunk's
    // rows; returns the rows changed in all. `done` hears the rows sent so
    // far after each chunk. Throws DbError.
    qint64 run(const QVariantList& leading, const QList<QVariantList>& rows,
               const std::function<void(qint64 done)>& done = {});

  private:
    SqlQuery& statementFor(qsizetype rows);

    QString m_sql;
    QString m_row;
    int m_chunkRows;
    qsizetype m_lastRows = 0;
    std::unique_ptr<SqlQuery> m_full, m_last;
};
