#pragma once

#include <QStringList>
#include <QTextStream>

// tarvel-admin backup DB DEST-FOLDER, tarvel-admin restore BACKUP DB
namespace BackupCommand {

bool isCommand(const QString& command);

// Runs the command (args after the command word): writes what was done and
// the rows per table to `out`, problems to `err`; returns the exit status
// (0 done, 1 failed, 2 wrong arguments).
int run(const QString& command, const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace BackupCommand
