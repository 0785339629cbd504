#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct sqlite3;

// One bare SQLite handle, for what only SQLite's own interface does (the
// online backup, a checkpoint), beside the program's connections, which it
// never disturbs. A failure is thrown as AppError: what failed, then why in
// the clerk's words, naming the file.
class SqliteHandle {
  public:
    // How long a statement waits for a writer that holds the whole file (a
    // rollback journal being committed) before it gives up.
    static constexpr int kBusyTimeoutMs = 5000;

    // flags are sqlite3_open_v2's. Failures name shownPath when given: a
    // copy's checks speak of the database it was copied from.
    SqliteHandle(const QString& path, int flags, const QString& shownPath = QString());
    ~SqliteHandle();
    SqliteHandle(const SqliteHandle&) = delete;
    SqliteHandle& operator=(const SqliteHandle&) = delete;

    sqlite3* db() const { return m_db; }
    const QString& path() const { return m_path; }

    void exec(const char* sql);
    // The first column of every row of a statement.
    QStringList column(const QByteArray& sql);

    // Throws what failed with the cause of code, or else of the handle's
    // last failure.
    [[noreturn]] void fail(const QString& what, int code = 0) const;

  private:
    QString m_path;
    sqlite3* m_db = nullptr;
};
