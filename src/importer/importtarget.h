#pragma once

#include "importer/importcheck.h"

#include <QSqlDatabase>
#include <QString>

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
    // Inserts the accepted rows of every table in one transaction, the
    // employees' passwords as hashes; returns how many were hashed.
    int write(const ImportData& data);
    void keep() { m_created = false; }

  private:
    void close();

    QString m_path;
    QString m_connection;
    QSqlDatabase m_db;
    bool m_created = false;
};
