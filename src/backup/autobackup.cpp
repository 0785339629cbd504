#include "backup/autobackup.h"

#include "backup/partfile.h"
#include "backup/serverdump.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/ini.h"
#include "core/sqldialect.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace AutoBackup {

QString fileName(const QDateTime& taken, const QString& database) {
    return QStringLiteral("tarvel-%1.%2")
        .arg(taken.toString(QStringLiteral("yyyyMMdd-HHmmss")),
             isServerDatabase(database) ? QStringLiteral("dump") : QStringLiteral("db"));
}

Settings programSettings() {
    Settings s;
    const QDir iniFolder = QFileInfo(iniFilePath()).absoluteDir();
    QString folder = IniRead(QStringLiteral("Backup"), QStringLiteral("Folder"));
    if (folder.isEmpty())
        folder = QStringLiteral("backup");
    s.folder = QDir::cleanPath(iniFolder.absoluteFilePath(folder));
    bool ok = false;
    const int keep = IniRead(QStringLiteral("Backup"), QStringLiteral("Keep")).toInt(&ok);
    s.keep = ok && keep >= 1 ? keep : kDefaultKeep;
    return s;
}

Settings besideDatabase(const QString& dbPath) {
    Settings s;
    s.folder = QFileInfo(dbPath).absoluteDir().filePath(QStringLiteral("backup"));
    return s;
}

QStringList backupsIn(const QString& folder) {
    // The names sort by the time in them.
    const QStringList names = QDir(folder).entryList(
        {QStringLiteral("tarvel-*.db"), QStringLiteral("tarvel-*.dump")}, QDir::Files, QDir::Name);
    QStringList paths;
    for (const QString& n : names)
        paths << QDir(folder).filePath(n);
    return paths;
}

DatabaseCopy::Copy take(const QString& dbPath, const Settings& settings, const QDateTime& taken) {
    if (!QDir().mkpath(settings.folder))
        throw AppError(
            QStringLiteral("バックアップのフォルダを作れません。\n%1").arg(settings.folder));
    PartFile::removeStale(settings.folder);
    // A run that finds the name taken when its copy is done, by a run
    // started in the same second, takes the next free second.
    const PartFile::NextName next = [&](const QString& name) {
        QDateTime at = QDateTime::fromString(QFileInfo(name).completeBaseName().mid(7),
                                             QStringLiteral("yyyyMMdd-HHmmss"));
        QString free;
        do {
            at = at.addSecs(1);
            free = QDir(settings.folder).filePath(fileName(at, dbPath));
        } while (QFileInfo::exists(free));
        return free;
    };
    QString target = QDir(settings.folder).filePath(fileName(taken, dbPath));
    if (QFileInfo::exists(target))
        target = next(target);
    DatabaseCopy::Copy copy = isServerDatabase(dbPath)
                                  ? ServerDump::dumpTo(dbPath, target, next)
                                  : DatabaseCopy::copyTo(dbPath, target, settings.depth, next);
    const QStringList old = backupsIn(settings.folder);
    for (qsizetype i = 0; i + settings.keep < old.size(); ++i)
        QFile::remove(old.at(i));
    return copy;
}

DatabaseCopy::Copy takeBeforeRun(const QString& dbPath, const Settings& settings) {
    try {
        return take(dbPath, settings, Clock::now());
    } catch (const AppError& e) {
        throw AppError(QStringLiteral("バックアップを作成できなかったため、処理を中止しました"
                                      "（データは変更していません）。\n") +
                       e.text());
    }
}

} // namespace AutoBackup
