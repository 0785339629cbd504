#pragma once

#include "importer/importcheck.h"

#include <QSqlDatabase>
#include <QString>

// The database the old rows go to. A new file is written under a temporary
// name beside the target and put in place only once complete, so that a
// killed import leaves no target behind. A database made by `tarvel-admin
// create` that is still empty, a file or a server's, is written in place.
class ImportTarget {
  public:
    // Throws AppError when the target holds rows or a table that is not the
    // program's, or is no database.
    static void requireEmpty(const QString& target);

    // Opens the target, or a new temporary file for it. Throws AppError.
    explicit ImportTarget(const QString& target);
    ~ImportTarget(); // undoes what finish() did not make final
    ImportTarget(const ImportTarget&) = delete;
    ImportTarget& operator=(const ImportTarget&) = delete;

    const QSqlDatabase& db() const { return m_db; }
    // Inserts the accepted rows of every table in one transaction, in which
    // the target is found empty first: of two imports at once, one writes.
    // The employees' passwords go in as hashes; returns how many were hashed.
    int write(const ImportData& data);
    // Closes the target; a new file takes its name, never over a file that
    // appeared meanwhile.
    void finish();

  private:
    void open(const QString& path);
    void close();

    QString m_target;
    QString m_temporary;          // "" when written in place
    bool m_createdTables = false; // in place, into a database without them
    bool m_finished = false;
    QSqlDatabase m_db;
};
