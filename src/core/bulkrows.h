#pragma once

#include "core/sqldialect.h"

#include <QList>
#include <QVariantList>
#include <functional>

// One statement run for many rows at once: the rows are loaded into a
// temporary table (on a server by one COPY, on a file by INSERTs of many
// rows each), then the statement runs over that table in chunks, so that
// thousands of rows cost a few round trips to a server instead of one each.
// The table's columns are named column1, column2, ...
//
//   BulkRows stamp({"UPDATE seihin_t SET 精算日時 = ? FROM (%1) AS v"
//                   " WHERE seihin_t.製品伝票番号 = v.column1", ...}, {"TEXT", "text"});
//   stamp.run({when}, rows);
class BulkRows {
  public:
    // `sql` holds %1 where the rows go, as a SELECT of one chunk (it binds
    // two values of its own, so it comes after every placeholder of the
    // statement); `types` are the columns' types, ", " between them (a
    // server types the joined values by them). A chunk holds at least
    // `chunkRows` rows, and a tenth of the rows when that is more.
    BulkRows(const EngineSql& sql, const EngineSql& types, int chunkRows = 1000);

    // Runs the statement once per chunk, `leading` bound before each chunk's
    // own values; returns the rows changed in all. `done` hears the rows
    // done so far after each chunk. Throws DbError.
    qint64 run(const QVariantList& leading, const QList<QVariantList>& rows,
               const std::function<void(qint64 done)>& done = {});

  private:
    QString m_sql;
    QStringList m_types;
    int m_chunkRows;
};
