#include "core/bulkrows.h"

#include "core/database.h"
#include "core/sqlquery.h"

#include <algorithm>

BulkRows::BulkRows(const EngineSql& sql, const EngineSql& row, int chunkRows)
    : m_sql(sql.on(gCon())), m_row(row.on(gCon())), m_chunkRows(std::max(1, chunkRows)) {}

BulkRows::~BulkRows() = default;

SqlQuery& BulkRows::statementFor(qsizetype rows) {
    // Full chunks share one statement (a server prepares it once); only the
    // last, shorter chunk needs a text of its own.
    std::unique_ptr<SqlQuery>& slot = rows == m_chunkRows ? m_full : m_last;
    if (!slot || (&slot == &m_last && m_lastRows != rows)) {
        QStringList list;
        list.reserve(rows);
        for (qsizetype i = 0; i < rows; ++i)
            list << m_row;
        slot = std::make_unique<SqlQuery>(
            m_sql.arg(QStringLiteral("VALUES ") + list.join(QStringLiteral(", "))));
        if (&slot == &m_last)
            m_lastRows = rows;
    }
    return *slot;
}

qint64 BulkRows::run(const QVariantList& leading, const QList<QVariantList>& rows,
                     const std::function<void(qint64 done)>& done) {
    qint64 changed = 0;
    for (qsizetype first = 0; first < rows.size(); first += m_chunkRows) {
        const qsizetype count = std::min<qsizetype>(m_chunkRows, rows.size() - first);
        SqlQuery& q = statementFor(count);
        for (const QVariant& v : leading)
            q.bind(v);
        for (qsizetype i = first; i < first + count; ++i)
            for (const QVariant& v : rows.at(i))
                q.bind(v);
        q.exec();
        changed += q.rowsAffected();
        if (done)
            done(first + count);
    }
    return changed;
}
