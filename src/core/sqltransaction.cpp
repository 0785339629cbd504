#include "core/sqltransaction.h"

#include "core/apperror.h"
#include "core/database.h"

#include <QSqlError>

SqlTransaction::SqlTransaction() : SqlTransaction(gCon()) {}

SqlTransaction::SqlTransaction(const QSqlDatabase& db) : m_db(db) {
    if (!m_db.isOpen())
        throw DbError(QStringLiteral("データベースが開かれていません。"));
    if (!m_db.transaction())
        throw DbError(describeSqlError(m_db.lastError()));
    m_active = true;
}

SqlTransaction::~SqlTransaction() {
    rollback();
}

void SqlTransaction::commit() {
    if (!m_active)
        return;
    if (!m_db.commit())
        throw DbError(describeSqlError(m_db.lastError())); // destructor rolls back
    m_active = false;
}

void SqlTransaction::rollback() {
    if (m_active) {
        m_db.rollback();
        m_active = false;
    }
}
