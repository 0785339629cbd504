#pragma once

#include <QSqlDatabase>
#include <QString>

// The database engines the program runs on: SQLite for one PC, PostgreSQL
// for an office whose PCs share a server.
enum class SqlEngine { Sqlite, Postgres };

// Throws DbError for a connection that is not open.
SqlEngine engineOf(const QSqlDatabase& db);

// Whether a database lies on a PostgreSQL server: `database` as TVL.INI's
// DSN names it (a postgresql:// URI or a "host=... dbname=..." string; any
// other text is an SQLite file's path), or an open connection.
bool isServerDatabase(const QString& database);
bool isServerDatabase(const QSqlDatabase& db);

// One statement in the forms of both engines, kept side by side where the
// engines' SQL differs (locking, date arithmetic, catalogue, schema).
struct EngineSql {
    QString sqlite;
    QString postgres;

    const QString& on(SqlEngine engine) const {
        return engine == SqlEngine::Postgres ? postgres : sqlite;
    }
    const QString& on(const QSqlDatabase& db) const { return on(engineOf(db)); }
};
