#include "core/sqltransaction.h"

#include "core/apperror.h"
#include "core/database.h"

#include <QSqlError>
#include <QSqlQuery>

SqlTransaction::SqlTransaction() : SqlTransaction(gCon(), Kind::Write) {}

SqlTransaction::SqlTransaction(Kind kind) : SqlTransaction(gCon(), kind) {}

SqlTransaction::SqlTransaction(const QSqlDatabase& db, Kind kind) : m_db(db) {
    if (!m_db.isOpen())
        throw DbError(QStringLiteral("データベースが開かれていません。"));
    QSqlQuery begin(m_db);
    if (!begin.exec(kind == Kind::Write ? QStringLiteral("BEGIN IMMEDIATE")
                                        : QStringLiteral("BEGIN DEFERRED")))
        throw DbError(describeSqlError(begin.lastError()));
    m_active = true;
}

SqlTransaction::~SqlTransaction() {
    rollback();
}

void SqlTransaction::commit() {
    if (!m_active)
        return;
    // COMMIT can meet a busy reader; the busy timeout applies, and a
    // failure leaves the transaction open for the destructor to roll back.
    QSqlQuery end(m_db);
    if (!end.exec(QStringLiteral("COMMIT")))
        throw DbError(describeSqlError(end.lastError()));
    m_active = false;
}

void SqlTransaction::rollback() {
    if (m_active) {
        QSqlQuery end(m_db);
        end.exec(QStringLiteral("ROLLBACK"));
        m_active = false;
    }
}
