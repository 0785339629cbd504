#pragma once

// Where a benchmark runs: an SQLite file, or a schema of its own on a
// PostgreSQL server (a DSN as TVL.INI takes one), so that a benchmark leaves
// the rest of the server's database alone. The baselines' statements that
// differ between the engines are kept here, both forms side by side.
#include "core/pgconnection.h"
#include "core/schema.h"
#include "core/sqldialect.h"
#include "core/sqlquery.h"
#include "rawlibpq.h"
#include "rawsqlite.h"

#include <QFile>
#include <QUrl>
#include <unistd.h>

namespace BenchDatabase {

// As the program's own write transaction takes the database.
inline const EngineSql kBeginWrite = {
    "BEGIN IMMEDIATE",
    "BEGIN; SELECT pg_advisory_xact_lock(hashtext('tarvel write ' || current_schema()))"};
// The settings of the program's own connection: on a file write-ahead log
// and full sync; a server commits durably by default.
inline const EngineSql kLikeTheProgram = {"PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL",
                                          "SET synchronous_commit = on"};

template <class Db> void exec(Db& db, const EngineSql& sql) {
    db.exec(sql.on(Db::kEngine).toUtf8().constData());
}
template <class Db> void beginWrite(Db& db) {
    exec(db, kBeginWrite);
}

// The DSN of `schema` on the server of dsn, which it names for every
// connection as its search path.
inline QString inSchema(const QString& dsn, const QString& schema) {
    const QString option = QStringLiteral("-c search_path=") + schema;
    const QString t = dsn.trimmed();
    if (t.startsWith(QLatin1String("postgres")) && t.contains(QLatin1String("://")))
        return t + (t.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) +
               QStringLiteral("options=") + QString::fromLatin1(QUrl::toPercentEncoding(option));
    return t + QStringLiteral(" options='%1'").arg(option);
}

// Runs statements on the server outside any benchmark's schema.
inline void onServer(const QString& dsn, const QStringList& statements) {
    RawPg db(dsn);
    for (const QString& sql : statements)
        db.exec(sql.toUtf8().constData());
}

// Creates the tables at database (a file, or a schema DSN made by inSchema
// whose schema exists) unless they are there.
inline void createTables(const QString& database) {
    if (!isServerDatabase(database)) {
        if (!QFile::exists(database))
            Schema::createFile(database);
        return;
    }
    const QString name = QStringLiteral("bench_create");
    {
        QSqlDatabase db = PgConnection::open(name, database);
        if (!missingTables(db).isEmpty())
            Schema::create(db);
        SqlQuery::releaseStatements(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Vacuums the schema's tables as autovacuum keeps those of a server in use:
// else the first statement to read a new row pays for marking it committed,
// and autovacuum, waking during a timed run, competes with it.
inline void vacuumSchema(const QString& dsn, const QString& schema) {
    QStringList statements;
    for (const Schema::Table& t : Schema::tables())
        statements << QStringLiteral("VACUUM ANALYZE %1.%2").arg(schema, QString::fromUtf8(t.name));
    onServer(dsn, statements);
}

// Writes out what earlier work left in memory before a timed run, so that a
// run does not pay for the pages of the one before it: the operating
// system's for a file, and on a server its shared buffers too (CHECKPOINT,
// skipped where the user may not run it).
inline void flushWrites(const QString& database) {
    ::sync();
    if (!isServerDatabase(database))
        return;
    RawPg db(database);
    PQclear(PQexec(db.handle(), "CHECKPOINT"));
}

// The schema's tables as copies of those of another schema, fresh each time.
inline void copySchema(const QString& dsn, const QString& from, const QString& to) {
    QStringList statements{QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(to),
                           QStringLiteral("CREATE SCHEMA %1").arg(to)};
    for (const Schema::Table& t : Schema::tables()) {
        const QString table = QString::fromUtf8(t.name);
        statements
            << QStringLiteral("CREATE TABLE %1.%3 (LIKE %2.%3 INCLUDING ALL)").arg(to, from, table)
            << QStringLiteral("INSERT INTO %1.%3 SELECT * FROM %2.%3").arg(to, from, table);
    }
    // The schema's version is syain_m's comment, which LIKE does not copy.
    statements << QStringLiteral("DO $$ BEGIN EXECUTE format('COMMENT ON TABLE %I.syain_m IS %L',"
                                 " '%2', obj_description('%1.syain_m'::regclass, 'pg_class'));"
                                 " END $$")
                      .arg(from, to);
    onServer(dsn, statements);
    vacuumSchema(dsn, to);
}

} // namespace BenchDatabase
