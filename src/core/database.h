#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

// The one connection of the program (gCon). DBOpen never creates a database:
// a missing file, a file that is not a database or one that lacks a table is
// an error (DbError) whose text names the problem and the path.

// Opens the database named by [Access] DSN of TVL.INI; a missing TVL.INI is
// an error naming the folder searched.
void DBOpen();
// Opens the database at dsn: a PostgreSQL server for a postgresql:// URI or
// a "host=... dbname=..." string, else the SQLite file at that path.
void openDatabase(const QString& dsn);
// Closes and releases the connection; harmless when nothing is open.
void DBClose();
// What the shared connection was opened from (a path or a server's DSN);
// empty while none is open.
QString openDatabaseDsn();
// The shared connection. Not open before DBOpen or after a failed DBOpen,
// so queries on it fail with an error.
QSqlDatabase gCon();
bool databaseIsOpen();

// Opens an extra connection to the database at dsn as openDatabase opens the
// shared one; SideConnection is the way to it that always removes it again.
QSqlDatabase openExtraConnection(const QString& connectionName, const QString& dsn);

// The first read of the SQLite file at path open on db: throws
// NotADatabaseError for a file that is no database, DbError for one that
// another program holds or that may not be written.
void requireReadableFile(const QSqlDatabase& db, const QString& path);

// The time now by the database's clock: a server's own, so that run time
// stamps taken on PCs whose clocks differ still follow one another; on
// SQLite, and while a test holds the clock, Clock::now().
QDateTime databaseNow();

// A warning for the user about where the database lies, recorded by the
// first DBOpen of the run that finds the file in a shared (network) folder;
// "" when there is none or it was taken already.
QString takeDatabaseWarning();

// Whether the database file at path lies on a network file system. There
// the database is opened with the rollback journal, since write-ahead
// logging needs memory shared by every PC that writes.
bool isOnNetworkFileSystem(const QString& path);
// Puts the open database at path into the journal mode DBOpen uses there,
// so that opening it later changes nothing in the file.
void useProgramJournal(const QSqlDatabase& db, const QString& path);
// Replaces that check (tests); nullptr restores the file system's own
// answer. Either way the warning may be given again.
using NetworkFileSystemCheck = bool (*)(const QString& path);
void setNetworkFileSystemCheck(NetworkFileSystemCheck check);
