#include "backupcommand.h"

#include "backup/autobackup.h"
#include "backup/databasecopy.h"
#include "backup/serverdump.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/sqldialect.h"

#include <QDir>

#include <climits>

namespace {

void writeCounts(const DatabaseCopy::RowCounts& rows, QTextStream& out) {
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        out << it.key() << '\t' << it.value() << '\n';
}

} // namespace

namespace BackupCommand {

bool isCommand(const QString& command) {
    return command == QLatin1String("backup") || command == QLatin1String("restore");
}

int run(const QString& command, const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 2) {
        err << "tarvel-admin " << command << ": "
            << (command == QLatin1String("backup") ? "DB DEST-FOLDER" : "BACKUP DB")
            << " の二つを指定してください。\n";
        return 2;
    }
    try {
        if (command == QLatin1String("backup")) {
            AutoBackup::Settings s;
            s.folder = args.at(1);
            s.keep = INT_MAX;
            s.depth = DatabaseCopy::Depth::Full;
            if (!QDir(s.folder).exists())
                throw AppError(QStringLiteral("フォルダが存在しません: %1").arg(s.folder));
            const DatabaseCopy::Copy copy = AutoBackup::take(args.at(0), s, Clock::now());
            out << "バックアップしました: " << copy.path << '\n';
            writeCounts(copy.rows, out);
        } else {
            const DatabaseCopy::Restored done = isServerDatabase(args.at(1))
                                                    ? ServerDump::restore(args.at(0), args.at(1))
                                                    : DatabaseCopy::restore(args.at(0), args.at(1));
            out << "復元しました: " << args.at(1);
            // Only a database that was there is kept aside.
            if (!done.keptAs.isEmpty())
                out << "（元のファイルは " << done.keptAs << "）";
            out << '\n';
            writeCounts(done.rows, out);
        }
    } catch (const AppError& e) {
        err << "tarvel-admin " << command << ": " << e.text() << '\n';
        return 1;
    }
    return 0;
}

} // namespace BackupCommand
