#pragma once

#include "core/sqldialect.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class SqlStatement;

// A forward-only prepared statement. Values are always bound, never pasted
// into the text. Every failure throws DbError with the database's message.
//
//   SqlQuery q("SELECT 氏名 FROM syain_m WHERE 社員コード = ?");
//   q.bind(code).exec();
//   while (q.next()) name = q.str("氏名");
//
// The connection decides the engine: SQLite on its own handle, PostgreSQL
// over libpq; the same `?` placeholders and value forms on both (dates as
// 'YYYY-MM-DD', date-times as 'YYYY-MM-DD HH:MM:SS', numbers as numbers).
// Text goes in and out as UTF-8, so a lone surrogate can never be stored.
class SqlQuery {
  public:
    explicit SqlQuery(const QString& sql); // on gCon
    SqlQuery(const QSqlDatabase& db, const QString& sql);
    explicit SqlQuery(const EngineSql& sql); // the form for gCon's engine
    SqlQuery(const QSqlDatabase& db, const EngineSql& sql);
    ~SqlQuery();
    SqlQuery(const SqlQuery&) = delete;
    SqlQuery& operator=(const SqlQuery&) = delete;

    // Next positional placeholder. Lone surrogates are dropped from text, so
    // that nothing stored is invalid UTF-8.
    SqlQuery& bind(const QVariant& value);
    SqlQuery& exec(); // binding starts again at the first placeholder
    bool next();

    QVariant value(const QString& column) const;
    QString str(const QString& column) const;    // Null gives ""
    double num(const QString& column) const;     // Null gives 0
    qint64 integer(const QString& column) const; // Null gives 0
    bool isNull(const QString& column) const;
    int rowsAffected() const;
    // The result's column names in order (after exec).
    QStringList columns() const;

    // Finalizes every statement still prepared on db, so that the connection
    // can close; a statement used afterwards fails with an error. Called by
    // whoever closes a connection that statements may outlive.
    static void releaseStatements(const QSqlDatabase& db);

  private:
    int columnIndex(const QString& column) const;
    void requireRow() const;

    std::unique_ptr<SqlStatement> m_stmt;
    QVariantList m_values;
    QHash<QString, int> m_columns; // reading by name stays cheap
    struct NamedColumn {
        QString name;
        int index;
    };
    mutable std::vector<NamedColumn> m_namedColumns;
};

// Field readers of the recordset convention.
inline QString FieldStr(const SqlQuery& q, const QString& column) {
    return q.str(column);
}
inline double FieldNum(const SqlQuery& q, const QString& column) {
    return q.num(column);
}

// Runs a statement that returns no rows; returns the number of rows changed.
int execSql(const QString& sql, const QVariantList& values = {});
int execSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
int execSql(const EngineSql& sql, const QVariantList& values = {});
int execSql(const QSqlDatabase& db, const EngineSql& sql, const QVariantList& values = {});
