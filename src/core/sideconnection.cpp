#include "core/sideconnection.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/pgconnection.h"
#include "core/sqldialect.h"
#include "core/sqlfailure.h"
#include "core/sqlquery.h"

#include <QSqlError>
#include <atomic>

namespace {

QString uniqueName() {
    static std::atomic<int> count{0};
    return QStringLiteral("tarvel_side_%1").arg(++count);
}

QSqlDatabase openFile(const QString& name, const QString& path, SideConnection::Open how) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.setConnectOptions(how == SideConnection::Open::ReadOnly
                             ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                             : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (db.open())
        return db;
    const QSqlError error = db.lastError();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    throw DbError(describeOpenError(error, path));
}

QSqlDatabase openAny(const QString& name, const QString& database, SideConnection::Open how) {
    if (how == SideConnection::Open::AsProgram)
        return openExtraConnection(name, database);
    if (isServerDatabase(database))
        return PgConnection::open(name, database);
    return openFile(name, database, how);
}

} // namespace

SideConnection::SideConnection(const QString& database, Open how)
    : m_database(database), m_db(openAny(uniqueName(), database, how)) {}

SideConnection::~SideConnection() {
    const QString name = m_db.connectionName();
    SqlQuery::releaseStatements(m_db);
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

void SideConnection::requireDatabase() const {
    if (!isServerDatabase(m_db))
        requireReadableFile(m_db, m_database);
}
