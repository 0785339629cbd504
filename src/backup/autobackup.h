#pragma once

#include "backup/databasecopy.h"

#include <QDateTime>
#include <QString>

// Backups named by the time they were taken, kept in one folder, the
// oldest removed beyond a count: what the program and tarvel-admin take
// before every settlement and cancellation.
namespace AutoBackup {

constexpr int kDefaultKeep = 12;

struct Settings {
    QString folder;
    int keep = kDefaultKeep; // backups left in the folder after pruning
    // The backups before a run are checked quickly: the clerk waits.
    DatabaseCopy::Depth depth = DatabaseCopy::Depth::Quick;
};

// "tarvel-YYYYMMDD-HHMMSS.db", or ".dump" for a database on a server
QString fileName(const QDateTime& taken, const QString& database = QString());

// [Backup] Folder and Keep of TVL.INI: the folder defaults to "backup"
// beside TVL.INI, a relative one is taken from there; Keep defaults to 12
// and so does a value that is not a whole number of at least 1.
Settings programSettings();
// A folder "backup" beside the database file.
Settings besideDatabase(const QString& dbPath);

// Writes a checked backup of the database (a file, or a server's DSN:
// then a dump) into the folder (made when
// missing), named by `taken`, then removes the oldest beyond keep. Throws
// AppError with the cause.
DatabaseCopy::Copy take(const QString& dbPath, const Settings& settings, const QDateTime& taken);
// The same at Clock::now(), before a settlement or cancellation: the
// error says that the run was not started.
DatabaseCopy::Copy takeBeforeRun(const QString& dbPath, const Settings& settings);

// The backups in a folder, oldest first.
QStringList backupsIn(const QString& folder);

} // namespace AutoBackup
