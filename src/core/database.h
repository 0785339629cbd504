#pragma once

#include <QSqlDatabase>
#include <QString>

// The one connection of the program (gCon). DBOpen never creates a database:
// a missing file, a file that is not a database or one that lacks a table is
// an error (DbError) whose text names the problem and the path.

// Opens the database named by [Access] DSN of TVL.INI.
void DBOpen();
// Opens the database at dsn (a file path).
void DBOpenPath(const QString& dsn);
// Closes and releases the connection; harmless when nothing is open.
void DBClose();
// The shared connection. Not open before DBOpen or after a failed DBOpen,
// so queries on it fail with an error.
QSqlDatabase gCon();
bool DBIsOpen();

// Opens an extra connection to the same file under its own name (reports,
// tools). The caller removes it with QSqlDatabase::removeDatabase.
QSqlDatabase openExtraConnection(const QString& connectionName, const QString& path);

// Text for a failed statement: the driver's own message, or a plain word
// that the database is busy when another copy of the program holds it.
QString describeSqlError(const class QSqlError& error);
// Whether a failure is another program holding the database.
bool isBusyError(const class QSqlError& error);
