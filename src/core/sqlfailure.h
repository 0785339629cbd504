#pragma once

#include <QString>

// The clerk's words for a failure the database engine reports in English
// (its result code and message): a full disk, a file that may not be
// written, a read or write error, a table or column missing, a damaged file.
// `path` is the database file named in the text. "" for any other failure,
// whose own text is shown.
QString describeSqliteFailure(int code, const QString& message, const QString& path);
