#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// A forward-only prepared statement. Values are always bound, never pasted
// into the text. Every failure throws DbError with the driver's message.
//
//   SqlQuery q("SELECT 氏名 FROM syain_m WHERE 社員コード = ?");
//   q.bind(code).exec();
//   while (q.next()) name = q.str("氏名");
class SqlQuery {
  public:
    explicit SqlQuery(const QString& sql); // on gCon
    SqlQuery(const QSqlDatabase& db, const QString& sql);
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

  private:
    int columnIndex(const QString& column) const;

    QSqlQuery m_query;
    QHash<QString, int> m_columns; // of the last exec: reading by name stays cheap
    QString m_sql;
    int m_bound = 0;
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
