#pragma once

#include <QSqlDatabase>
#include <QString>

// A connection of its own to a database beside the program's shared one
// (the tools, the import, backups and checks): an SQLite file or a
// PostgreSQL server, as isServerDatabase tells. Its name is its own, and
// it is closed and removed again however the work ends.
class SideConnection {
  public:
    enum class Open {
        AsProgram, // as DBOpen opens it: the tables must be there, the schema is brought up to date
        Write,     // as it is; a missing file is made
        ReadOnly,  // as it is, only to read (a server's is opened as for Write)
    };

    // Throws DbError naming the cause and the database.
    SideConnection(const QString& database, Open how);
    ~SideConnection();
    SideConnection(const SideConnection&) = delete;
    SideConnection& operator=(const SideConnection&) = delete;

    const QSqlDatabase& db() const { return m_db; }

    // Reads the file once, since SQLite opens it only at the first
    // statement: throws NotADatabaseError for a file that is no database,
    // DbError for one another program holds or that cannot be read.
    // Nothing to do on a server.
    void requireDatabase() const;

  private:
    QString m_database;
    QSqlDatabase m_db;
};
