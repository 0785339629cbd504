#include "backup/databasecopy.h"

#include "backup/exclusiveuse.h"
#include "backup/partfile.h"
#include "core/apperror.h"
#include "core/schema.h"
#include "core/sqlfailure.h"
#include "core/sqlitehandle.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <sqlite3.h>

namespace {

DatabaseCopy::RowCounts countRows(SqliteHandle& h) {
    DatabaseCopy::RowCounts rows;
    const QStringList present = h.column("SELECT name FROM sqlite_master WHERE type = 'table'");
    QStringList missing;
    for (const Schema::Table& t : Schema::tables()) {
        const QString name = QString::fromUtf8(t.name);
        if (!present.contains(name)) {
            missing << name;
            continue;
        }
        // Table names come from the schema, never from input.
        rows[name] =
            h.column("SELECT count(*) FROM \"" + QByteArray(t.name) + '"').value(0).toLongLong();
    }
    if (!missing.isEmpty())
        throw AppError(QStringLiteral("Tarvel のデータベースではありません（テーブルがありません: "
                                      "%1）。\n%2")
                           .arg(missing.join(QStringLiteral(", ")), h.path()));
    return rows;
}

DatabaseCopy::RowCounts checkOpen(SqliteHandle& h, DatabaseCopy::Depth depth) {
    // Every page is read once and the index checks revisit many: reading
    // through a memory map and a larger cache halves the time.
    h.exec("PRAGMA mmap_size = 268435456");
    h.exec("PRAGMA cache_size = -65536");
    const QStringList problems = h.column(
        depth == DatabaseCopy::Depth::Full ? "PRAGMA integrity_check" : "PRAGMA quick_check");
    // The check's own lines are English: only their number is told.
    if (problems != QStringList{QStringLiteral("ok")})
        throw AppError(describeSqliteFailure(SQLITE_CORRUPT, QString(), h.path()) +
                       QStringLiteral("\n（整合性検査で見つかった問題: %1 件）")
                           .arg(problems.join(QLatin1Char('\n')).count(QLatin1Char('\n')) + 1));
    return countRows(h);
}

void requireFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw AppError(QStringLiteral("ファイルが見つかりません。\n%1").arg(path));
}

// Copies every page of src to dst in one step, so that the copy is one
// snapshot; waits while a writer holds the file.
void copyPages(SqliteHandle& src, SqliteHandle& dst) {
    sqlite3_backup* backup = sqlite3_backup_init(dst.db(), "main", src.db(), "main");
    if (!backup)
        dst.fail(QStringLiteral("バックアップファイルを作れません。"));
    int rc;
    int waitedMs = 0;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (waitedMs >= SqliteHandle::kBusyTimeoutMs)
            break;
        QThread::msleep(50);
        waitedMs += 50;
    }
    sqlite3_backup_finish(backup);
    // A page that cannot be read is the source's fault, any other the copy's.
    if ((rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB || rc == SQLITE_IOERR_READ ||
        rc == SQLITE_IOERR_SHORT_READ)
        src.fail(QStringLiteral("データベースを読めません。"), rc);
    if (rc != SQLITE_DONE)
        dst.fail(QStringLiteral("バックアップを書き込めません。"), rc);
}

} // namespace

namespace DatabaseCopy {

RowCounts check(const QString& path, Depth depth) {
    requireFile(path);
    SqliteHandle h(path, SQLITE_OPEN_READONLY);
    return checkOpen(h, depth);
}

Copy copyTo(const QString& dbPath, const QString& target, Depth depth,
            const PartFile::NextName& next) {
    requireFile(dbPath);
    if (QFileInfo::exists(target) && !next)
        throw AppError(QStringLiteral("同じ名前のファイルが既にあります。\n%1").arg(target));
    PartFile part(target);
    Copy copy;
    {
        SqliteHandle src(dbPath, SQLITE_OPEN_READWRITE);
        src.exec("PRAGMA mmap_size = 268435456");
        // One read transaction holds the snapshot for the counts and
        // the pages alike.
        src.exec("BEGIN");
        copy.rows = countRows(src);
        SqliteHandle dst(part.path(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        copyPages(src, dst);
        src.exec("COMMIT");
        // The copy stands alone: no -wal file belongs to it.
        dst.exec("PRAGMA journal_mode = DELETE");
    }
    {
        // The copy holds the source's pages: damage found in it is the
        // source's.
        SqliteHandle h(part.path(), SQLITE_OPEN_READONLY, dbPath);
        if (checkOpen(h, depth) != copy.rows)
            throw AppError(QStringLiteral("バックアップの件数が元のデータベースと合いません。\n%1")
                               .arg(target));
    }
    copy.path = part.place(next);
    return copy;
}

Restored restore(const QString& backupPath, const QString& dbPath) {
    Restored done;
    try {
        done.rows = check(backupPath);
    } catch (const AppError& e) {
        throw AppError(QStringLiteral("このバックアップからは復元できません。別のバックアップを"
                                      "指定して下さい。\n") +
                       e.text());
    }
    const RowCounts& rows = done.rows;
    const QString aside = dbPath + QStringLiteral(".before-restore");
    const QString incoming = dbPath + QStringLiteral(".restoring");
    if (QFileInfo::exists(dbPath)) {
        {
            // Folds the write-ahead log into the file, so that the file
            // kept aside holds everything.
            SqliteHandle h(dbPath, SQLITE_OPEN_READWRITE);
            sqlite3_wal_checkpoint_v2(h.db(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr,
                                      nullptr);
        }
        const ExclusiveUse held(dbPath);
        QFile::remove(aside);
        QFile::remove(aside + QStringLiteral("-wal"));
        if (!QFile::copy(backupPath, incoming))
            throw AppError(QStringLiteral("復元するファイルを書き込めません。ディスクの空きと"
                                          "フォルダの権限を確かめて下さい。\n%1")
                               .arg(incoming));
        if (!QFile::rename(dbPath, aside)) {
            QFile::remove(incoming);
            throw AppError(QStringLiteral("データベースファイルを退避できません。\n%1").arg(aside));
        }
        const QString wal = dbPath + QStringLiteral("-wal");
        if (QFileInfo::exists(wal))
            QFile::rename(wal, aside + QStringLiteral("-wal"));
        if (!QFile::rename(incoming, dbPath)) {
            QFile::rename(aside, dbPath);
            throw AppError(
                QStringLiteral("データベースファイルを置き換えられません。\n%1").arg(dbPath));
        }
        done.keptAs = aside;
    } else {
        QFile::remove(incoming);
        if (!QFile::copy(backupPath, incoming) || !QFile::rename(incoming, dbPath)) {
            QFile::remove(incoming);
            throw AppError(
                QStringLiteral("データベースファイルを書き込めません。\n%1").arg(dbPath));
        }
    }
    QFile(dbPath).setPermissions(QFile(dbPath).permissions() | QFile::WriteOwner);
    // The file is a copy of the backup just checked in full.
    if (check(dbPath, Depth::Quick) != rows)
        throw AppError(QStringLiteral("復元したデータベースの件数がバックアップと合いません。\n%1")
                           .arg(dbPath));
    return done;
}

} // namespace DatabaseCopy
