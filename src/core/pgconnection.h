#pragma once

#include "core/apperror.h"

#include <QSqlDatabase>
#include <QString>

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

// A DSN that cannot be used as written; the text begins with "DSN", so
// that whoever knows where it came from can say so in front.
class DsnError : public DbError {
  public:
    using DbError::DbError;
};

// PostgreSQL connections: opened from a DSN through Qt's driver, whose libpq
// handle the statements then use directly.
namespace PgConnection {

// Opens connectionName on the server of dsn; the password comes only from
// libpq's own means (~/.pgpass, PGPASSFILE), never from the DSN. Throws
// DbError naming the cause in the user's words (DsnError for the DSN's own
// faults); a password file that others may read is refused before libpq
// would pass over it.
QSqlDatabase open(const QString& connectionName, const QString& dsn);

// The live handle of db. A connection lost earlier is made again here, so
// the action after the one that met the loss works once the server is back.
PGconn* handle(const QSqlDatabase& db);
// Makes a lost conn again, as handle() does; for statements kept across
// actions. Never inside a transaction that the loss ended: its later
// statements would run on their own, so the loss is reported instead.
void reconnect(PGconn* conn);
// Marks a transaction on conn as open or ended (SqlTransaction).
void setInTransaction(PGconn* conn, bool open);
// The handle as it is, without reconnecting; nullptr when db is no open
// PostgreSQL connection.
PGconn* currentHandle(const QSqlDatabase& db);
// Counts reconnections of conn: statements prepared before one are gone.
quint64 generation(PGconn* conn);

// Runs statements without parameters, separated by ";", in one round trip.
// Throws DbError for the first that fails (the rest are not run).
void execScript(const QSqlDatabase& db, const QString& sql);

// The text the user reads for a failed statement (result may be null).
QString describe(PGconn* conn, const PGresult* result);

// The text for a connection to the server that is gone.
QString lostText();

// Whether the connection to the server is gone.
bool lost(const QSqlDatabase& db);

// Whether the transaction open on db has failed, so that COMMIT would only
// roll it back.
bool transactionFailed(const QSqlDatabase& db);

} // namespace PgConnection
