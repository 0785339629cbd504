#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A forward-only prepared statement. Values are always bound, never pasted
// into the text. Every failure throws DbError with the database's message.
//
//   SqlQuery q("SELECT 氏名 FROM syain_m WHERE 社員コード = ?");
//   q.bind(code).exec();
//   while (q.next()) name = q.str("氏名");
//
// It runs on the connection's own SQLite handle rather than through the Qt
// driver: lists read tens of thousands of rows, and the driver's copy of
// every value into a cached row costs more than the reading itself. Text
// goes in and out as UTF-8, so a lone surrogate can never reach the file.
class SqlQuery {
  public:
    explicit SqlQuery(const QString& sql); // on gCon
    SqlQuery(const QSqlDatabase& db, const QString& sql);
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

    // Finalizes every statement still prepared on db, so that the connection
    // can close; a statement used afterwards fails with an error. Called by
    // whoever closes a connection that statements may outlive.
    static void releaseStatements(const QSqlDatabase& db);

  private:
    int columnIndex(const QString& column) const;
    void requireRow() const;
    [[noreturn]] void fail(int code) const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    QVariantList m_values;
    QHash<QString, int> m_columns; // reading by name stays cheap
    struct NamedColumn {
        QString name;
        int index;
    };
    mutable std::vector<NamedColumn> m_namedColumns;
    bool m_pendingRow = false; // exec stepped onto the first row already
    bool m_onRow = false;
    int m_changes = 0;
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
