#pragma once

#include "core/sqldialect.h"

#include <QSqlDatabase>
#include <QStringList>

// The nine tables. Names and columns are those every statement relies on.
namespace Schema {

// Kept in the database (version()); an older one is brought up to it on opening.
constexpr int kVersion = 5;

struct Column {
    const char* name;
    const char* type;   // SQLite type affinity: TEXT, INTEGER or REAL
    const char* pgType; // PostgreSQL's type, as format_type() spells it
};

struct Table {
    const char* name;
    QList<Column> columns;
};

const QList<Table>& tables();

// Creates every table and index in an empty database, in one transaction,
// and records the schema version. Throws DbError.
void create(const QSqlDatabase& db);
// The same inside the caller's write transaction.
void createWithin(const QSqlDatabase& db);

// One step of the schema: what brings a database of the version before it
// to `version`. Each statement is given in the form of each engine.
struct Upgrade {
    int version;
    QList<EngineSql> statements;
};
const QList<Upgrade>& upgrades();

// Applies the steps a database lacks, each in its own transaction together
// with its version number, so a step is never applied twice; a current
// database is left alone. Returns the number of steps applied. Throws DbError.
int upgrade(const QSqlDatabase& db);
// Whether this user may bring the database up to date (a server's owner).
bool mayUpgrade(const QSqlDatabase& db);

// Creates a new database file at path holding every table. Throws DbError.
void createFile(const QString& path);

// The schema version recorded in db, 0 for none; setVersion records one.
int version(const QSqlDatabase& db);
void setVersion(const QSqlDatabase& db, int version);

// Problems found, one line each ("" list when the database is sound).
QStringList check(const QSqlDatabase& db);

} // namespace Schema

// Names of the tables that the database lacks; throws DbError when the file
// cannot be read as a database at all.
QStringList missingTables(const QSqlDatabase& db);
// Names of the tables the user may not read; never any on SQLite.
QStringList tablesWithoutRights(const QSqlDatabase& db);
