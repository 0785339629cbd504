#pragma once

#include "core/sideconnection.h"
#include "importer/oldtables.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>

class SqlQuery;
class SqlTransaction;

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

    const QSqlDatabase& db() const { return m_connection->db(); }
    // The rows go in as they come, in one transaction in which the target
    // is found empty first (and its tables made, when it has none): of two
    // imports at once, one writes. Without commit() nothing is written.
    void begin();
    // The employees' passwords go in as hashes.
    void insert(const OldTables::Table& table, const QVariantList& values);
    // Returns how many passwords were hashed.
    int commit();
    // Closes the target; a new file takes its name, never over a file that
    // appeared meanwhile.
    void finish();

  private:
    void open(const QString& path);
    void close();

    std::unique_ptr<SqlTransaction> m_transaction;
    const OldTables::Table* m_insertTable = nullptr;
    std::unique_ptr<SqlQuery> m_insert;
    qsizetype m_passwordColumn = -1;
    int m_hashed = 0;

    QString m_target;
    QString m_temporary; // "" when written in place
    bool m_finished = false;
    std::optional<SideConnection> m_connection;
};
