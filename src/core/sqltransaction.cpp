#include "core/sqltransaction.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/pgconnection.h"
#include "core/sqlquery.h"

#include <utility>

namespace {

// On a server every write transaction first takes one lock for the whole
// database, as SQLite's BEGIN IMMEDIATE does: read-then-write steps (the
// next slip number, the next price serial, the settlement guard) then see
// every earlier writer's commit and no later one's. lock_timeout (5 s) ends
// the wait with the same in-use message. Transactions stay READ COMMITTED,
// so each statement after the lock sees what the previous holder committed.
// Advisory locks are per database; the schema in the key keeps databases
// that share one (a schema each) apart. Both go to a server as one round
// trip.
const EngineSql kBeginWrite = {
    "BEGIN IMMEDIATE",
    "BEGIN; SELECT pg_advisory_xact_lock(hashtext('tarvel write ' || current_schema()))"};
// A read transaction reads one state of the database throughout.
const EngineSql kBeginRead = {"BEGIN DEFERRED", "BEGIN ISOLATION LEVEL REPEATABLE READ"};

} // namespace

SqlTransaction::SqlTransaction() : SqlTransaction(gCon(), Kind::Write) {}

SqlTransaction::SqlTransaction(Kind kind) : SqlTransaction(gCon(), kind) {}

SqlTransaction::SqlTransaction(const QSqlDatabase& db, Kind kind) : m_db(db) {
    if (!m_db.isOpen())
        throw DbError(QStringLiteral("データベースが開かれていません。"));
    if (kind == Kind::Read || engineOf(m_db) == SqlEngine::Sqlite) {
        execSql(m_db, kind == Kind::Write ? kBeginWrite : kBeginRead);
        m_active = true;
        markOnServer();
        return;
    }
    try {
        m_active = true; // a lock not had leaves a transaction to roll back
        PgConnection::execScript(m_db, kBeginWrite.on(m_db));
        markOnServer();
    } catch (const DbError&) {
        rollback();
        throw;
    }
}

// A server lost from here on must not be connected again until the
// transaction has ended: what follows would be written on its own.
void SqlTransaction::markOnServer() {
    m_server = PgConnection::currentHandle(m_db);
    if (m_server != nullptr)
        PgConnection::setInTransaction(m_server, true);
}

SqlTransaction::~SqlTransaction() {
    rollback();
}

void SqlTransaction::commit() {
    if (!m_active)
        return;
    // A server ends a transaction in which a statement failed with a
    // rollback, even when asked to commit: that must not pass for saved.
    if (engineOf(m_db) == SqlEngine::Postgres && PgConnection::transactionFailed(m_db))
        throw DbError(QStringLiteral("データベースへの書き込みが途中で失敗したため、"
                                     "何も保存されていません。もう一度操作して下さい。"));
    // COMMIT can meet a busy reader; the busy timeout applies, and a
    // failure leaves the transaction open for the destructor to roll back.
    execSql(m_db, QStringLiteral("COMMIT"));
    m_active = false;
    ended();
}

void SqlTransaction::ended() {
    if (m_server != nullptr)
        PgConnection::setInTransaction(std::exchange(m_server, nullptr), false);
}

void SqlTransaction::rollback() {
    if (!m_active)
        return;
    m_active = false;
    ended();
    // Runs in the destructor, also while an error unwinds: nothing may
    // throw. A server that is gone has dropped the transaction itself, and
    // the next action connects again.
    try {
        if (!m_db.isOpen() || (engineOf(m_db) == SqlEngine::Postgres && PgConnection::lost(m_db)))
            return;
        execSql(m_db, QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // Nothing to undo on a connection that is gone.
    }
}
