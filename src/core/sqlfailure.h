#pragma once

#include <QString>

#include "core/apperror.h"

class QSqlError;

// The one translation of the engines' failures into the clerk's words.
// Engines report in English (a result code and a message); the code chooses
// the text, and the English only reaches the clerk where nothing else is
// known.

// A file that is there but is no database.
class NotADatabaseError : public DbError {
  public:
    using DbError::DbError;
};

// The text for a database that another program holds (SQLite busy,
// PostgreSQL lock wait over).
QString databaseInUseText();

// The clerk's words for a failure SQLite reports with this result code: a
// database another program holds, a full disk, a file that may not be
// written, a read or write error, a table or column missing, a damaged file.
// `path` is the database file named in the text. "" for any other failure,
// whose own text is shown.
QString describeSqliteFailure(int code, const QString& message, const QString& path);
// As describeSqliteFailure, but never "": any other failure is named by its
// code (for SQLite's C API, whose English message is not shown).
QString describeSqliteCode(int code, const QString& message, const QString& path);

// The clerk's words for a statement the server refused, by its SQLSTATE
// code: another PC writing, no right on a table, a key already there; any
// other failure is named by its code and the server's text.
QString describeServerFailure(const QString& code, const QString& message);

// Text for a failed statement: the clerk's words where describeSqliteFailure
// has them, else the driver's own message.
QString describeSqlError(const QSqlError& error);
// Whether a failure is another program holding the database.
bool isBusyError(const QSqlError& error);

// The cause of a failure to open or first read the database file at path,
// in the user's words: another program holds it; no write permission on
// the file or its folder; not a database; else the driver's text.
QString describeOpenError(const QSqlError& error, const QString& path);
// Whether an open or first read failed because the file is no database.
bool isNotADatabase(const QSqlError& error);
