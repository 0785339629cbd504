#pragma once

#include "importer/importcheck.h"

#include <QSqlDatabase>
#include <QString>
#include <memory>

class SqlQuery;
class SqlTransaction;

// The database the old rows go to: new, or made but still empty.
class ImportTarget {
  public:
    // Throws AppError when the file exists and holds rows or other tables.
    static void requireEmpty(const QString& path);

    // Opens (creating the file and its tables when needed). Throws DbError.
    explicit ImportTarget(const QString& path);
    ~ImportTarget(); // removes a file it created unless keep() was called
    ImportTarget(const ImportTarget&) = delete;
    ImportTarget& operator=(const ImportTarget&) = delete;

    const QSqlDatabase& db() const { return m_db; }
    // Rows go in as they come, all in one transaction: begin, insert each,
    // commit. Without a commit nothing is written.
    void begin();
    void insert(const OldTables::Table& table, const QVariantList& values);
    void commit();
    void keep() { m_created = false; }

  private:
    void close();

    std::unique_ptr<SqlTransaction> m_transaction;
    const OldTables::Table* m_insertTable = nullptr;
    std::unique_ptr<SqlQuery> m_insert;

    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
    bool m_created = false;
};
