#include "core/bulkrows.h"

#include "core/database.h"
#include "core/sqlquery.h"
#include "core/sqlstatement.h"

#include <algorithm>
#include <atomic>

namespace {

// The row number keeps the rows' order and cuts them into chunks.
const EngineSql kRowNumber = {QStringLiteral("n INTEGER PRIMARY KEY"),
                              QStringLiteral("n bigint PRIMARY KEY")};

// Rows of a file's table go in INSERTs of this many rows: far below the
// engine's limit of placeholders, and each statement prepared once.
constexpr qsizetype kInsertRows = 500;

void insertRows(const QString& table, const QStringList& columns, const QList<QVariantList>& rows) {
    const QString row =
        QLatin1Char('(') +
        QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")) +
        QLatin1Char(')');
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                               .arg(table, columns.join(QStringLiteral(", ")));
    std::unique_ptr<SqlQuery> full;
    for (qsizetype first = 0; first < rows.size(); first += kInsertRows) {
        const qsizetype count = std::min(kInsertRows, rows.size() - first);
        std::unique_ptr<SqlQuery> last;
        std::unique_ptr<SqlQuery>& q = count == kInsertRows ? full : last;
        if (!q)
            q = std::make_unique<SqlQuery>(insert +
                                           QStringList(count, row).join(QStringLiteral(", ")));
        for (qsizetype i = first; i < first + count; ++i) {
            q->bind(qint64(i + 1));
            for (const QVariant& v : rows.at(i))
                q->bind(v);
        }
        q->exec();
    }
}

void loadRows(const QString& table, const QStringList& columns, const QList<QVariantList>& rows) {
    if (engineOf(gCon()) == SqlEngine::Postgres)
        copyPgRows(gCon(),
                   QStringLiteral("COPY %1 (%2) FROM STDIN")
                       .arg(table, columns.join(QStringLiteral(", "))),
                   rows, true);
    else
        insertRows(table, columns, rows);
    // No ANALYZE on a server: without statistics it joins each chunk by the
    // slips' primary key, which beat the hash join over the whole table that
    // statistics led it to.
}

} // namespace

BulkRows::BulkRows(const EngineSql& sql, const EngineSql& types, int chunkRows)
    : m_sql(sql.on(gCon())), m_types(types.on(gCon()).split(QStringLiteral(", "))),
      m_chunkRows(std::max(1, chunkRows)) {}

qint64 BulkRows::run(const QVariantList& leading, const QList<QVariantList>& rows,
                     const std::function<void(qint64 done)>& done) {
    if (rows.isEmpty())
        return 0;
    // A table of its own for each run: two runs of one transaction never meet.
    static std::atomic<quint64> counter{0};
    const QString table = QStringLiteral("tarvel_bulk_%1").arg(++counter);
    QStringList columns, definitions{kRowNumber.on(gCon())};
    for (qsizetype i = 0; i < m_types.size(); ++i) {
        columns << QStringLiteral("column%1").arg(i + 1);
        definitions << columns.last() + QLatin1Char(' ') + m_types.at(i);
    }
    execSql(QStringLiteral("CREATE TEMP TABLE %1 (%2)")
                .arg(table, definitions.join(QStringLiteral(", "))));
    loadRows(table, QStringList{QStringLiteral("n")} + columns, rows);

    SqlQuery q(m_sql.arg(QStringLiteral("SELECT %1 FROM %2 WHERE n > ? AND n <= ?")
                             .arg(columns.join(QStringLiteral(", ")), table)));
    // About ten chunks whatever the number of rows: the bar moves in steps
    // a clerk sees, and a server meets few, large statements (each of which
    // costs it more per row the smaller it is).
    const qsizetype chunk = std::max<qsizetype>(m_chunkRows, (rows.size() + 9) / 10);
    qint64 changed = 0;
    for (qsizetype first = 0; first < rows.size(); first += chunk) {
        const qsizetype last = std::min<qsizetype>(first + chunk, rows.size());
        for (const QVariant& v : leading)
            q.bind(v);
        q.bind(qint64(first)).bind(qint64(last)).exec();
        changed += q.rowsAffected();
        if (done)
            done(last);
    }
    execSql(QStringLiteral("DROP TABLE %1").arg(table));
    return changed;
}
