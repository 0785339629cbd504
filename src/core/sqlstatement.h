#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <memory>

// One engine's side of a SqlQuery: SQLite on its own handle, PostgreSQL
// over libpq. Columns are read by position; SqlQuery maps the names.
class SqlStatement {
  public:
    virtual ~SqlStatement() = default;

    // Runs with the values bound in order and stands before the first row.
    virtual void exec(const QVariantList& values) = 0;
    virtual bool next() = 0;
    // Column names, known from preparing (SQLite) or from the first exec.
    virtual QStringList columns() const = 0;

    virtual bool isNull(int i) const = 0;
    virtual QVariant value(int i) const = 0;
    virtual QString str(int i) const = 0;
    virtual double num(int i) const = 0;
    virtual qint64 integer(int i) const = 0;
    virtual int rowsAffected() const = 0;
    virtual bool onRow() const = 0;
};

std::unique_ptr<SqlStatement> prepareSqliteStatement(const QSqlDatabase& db, const QString& sql);
void releaseSqliteStatements(const QSqlDatabase& db);
std::unique_ptr<SqlStatement> preparePgStatement(const QSqlDatabase& db, const QString& sql);
void releasePgStatements(const QSqlDatabase& db);
// Sends rows to a table of the server with one COPY: `copy` is the
// "COPY table (columns) FROM STDIN" text; each row is preceded by its
// number from 1 when `numbered`. Throws DbError.
void copyPgRows(const QSqlDatabase& db, const QString& copy, const QList<QVariantList>& rows,
                bool numbered);
