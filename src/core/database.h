#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <functional>

// The one connection of the program (gCon). DBOpen never creates a database:
// a missing file, a file that is not a database or one that lacks a table is
// an error (DbError) whose text names the problem and the path.

// Opens the database named by [Access] DSN of TVL.INI; a missing TVL.INI is
// an error naming the folder searched.
void DBOpen();
// Opens the database at dsn: a PostgreSQL server for a postgresql:// URI or
// a "host=... dbname=..." string, else the SQLite file at that path.
void DBOpenPath(const QString& dsn);
// Closes and releases the connection; harmless when nothing is open.
void DBClose();
// What the shared connection was opened from (a path or a server's DSN);
// empty while none is open.
QString DBDsn();
// The shared connection. Not open before DBOpen or after a failed DBOpen,
// so queries on it fail with an error.
QSqlDatabase gCon();
bool DBIsOpen();

// Opens an extra connection to the same file under its own name (reports,
// tools). The caller removes it with QSqlDatabase::removeDatabase.
QSqlDatabase openExtraConnection(const QString& connectionName, const QString& path);

// Runs work on an SQLite connection of its own to the file at path (work
// opens it), then closes and removes the connection, also when work throws.
void withFileConnection(const QString& connectionName, const QString& path, const QString& options,
                        const std::function<void(QSqlDatabase&)>& work);

// The time now by the database's clock: a server's own, so that run time
// stamps taken on PCs whose clocks differ still follow one another; on
// SQLite, and while a test holds the clock, Clock::now().
QDateTime databaseNow();

// The text for a database that another program holds (SQLite busy,
// PostgreSQL lock wait over).
QString databaseInUseText();

// The cause of a failure to open or first read the database file at path,
// in the user's words: another program holds it; no write permission on
// the file or its folder; not a database; else the driver's text.
QString describeOpenError(const class QSqlError& error, const QString& path);

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

// Text for a failed statement: the driver's own message, or a plain word
// that the database is busy when another copy of the program holds it.
QString describeSqlError(const class QSqlError& error);
// Whether a failure is another program holding the database.
bool isBusyError(const class QSqlError& error);
