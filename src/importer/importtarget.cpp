#include "importer/importtarget.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/passwordhash.h"
#include "core/schema.h"
#include "core/sideconnection.h"
#include "core/sqldialect.h"
#include "core/sqlfailure.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Beside the target: t.sqlite.importing-PID, with its journal.
const QString kTemporaryMark = QStringLiteral(".importing-");

// Every table and view of the database, the program's or not.
const EngineSql kAllTablesSql = {"SELECT name FROM sqlite_master WHERE type IN ('table', 'view')"
                                 " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
                                 "SELECT table_name AS name FROM information_schema.tables"
                                 " WHERE table_schema = current_schema()"};

QString pickAnother(const QString& target) {
    return isServerDatabase(target) ? QStringLiteral("空のデータベースを指定してください。")
                                    : QStringLiteral("新しいファイル名を指定してください。");
}

QString notEmptyText(const QString& target) {
    return QStringLiteral("取り込み先 %1 には既にデータがあります。上書きはしません。")
               .arg(target) +
           pickAnother(target);
}

// True when the program's tables are all there and empty; false when the
// database holds no table at all. Throws AppError for anything else.
bool hasEmptyTables(const SideConnection& connection, const QString& target) {
    try {
        connection.requireDatabase();
    } catch (const NotADatabaseError&) {
        throw AppError(
            QStringLiteral("取り込み先 %1 はデータベースファイルではありません。").arg(target) +
            pickAnother(target));
    }
    const QSqlDatabase& db = connection.db();
    QSet<QString> own;
    for (const Schema::Table& t : Schema::tables())
        own.insert(QString::fromUtf8(t.name).toLower());
    QStringList foreign;
    qsizetype owned = 0;
    SqlQuery all(db, kAllTablesSql);
    all.exec();
    while (all.next()) {
        const QString name = all.str(QStringLiteral("name"));
        if (own.contains(name.toLower()))
            ++owned;
        else
            foreign << name;
    }
    if (!foreign.isEmpty())
        throw AppError(QStringLiteral("取り込み先 %1 にはこのプログラムのものでないテーブル (%2) が"
                                      "あります。上書きはしません。")
                           .arg(target, foreign.join(QStringLiteral(", "))) +
                       pickAnother(target));
    if (owned == 0)
        return false;
    if (owned != own.size())
        throw AppError(notEmptyText(target));
    for (const Schema::Table& t : Schema::tables()) {
        SqlQuery q(db,
                   QStringLiteral("SELECT count(*) AS n FROM %1").arg(QString::fromUtf8(t.name)));
        q.exec();
        if (q.next() && q.integer(QStringLiteral("n")) > 0)
            throw AppError(notEmptyText(target));
    }
    return true;
}

void requireNamed(const QString& target) {
    if (target.trimmed().isEmpty())
        throw AppError(QStringLiteral("取り込み先のデータベースファイルを指定してください。"));
    if (isServerDatabase(target))
        return;
    const QFileInfo info(target);
    if (info.exists() && !info.isFile())
        throw AppError(QStringLiteral("取り込み先 %1 はファイルではありません。新しいファイル名を"
                                      "指定してください。")
                           .arg(target));
    if (!info.exists() && !info.absoluteDir().exists())
        throw AppError(QStringLiteral("フォルダが存在しません: %1").arg(info.absolutePath()));
}

// A target that exists (a file, or any server database) is written in place.
bool writtenInPlace(const QString& target) {
    return isServerDatabase(target) || QFileInfo(target).exists() || QFileInfo(target).isSymLink();
}

void removeFileSet(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QString::fromLatin1(suffix));
}

// The temporary files of earlier imports into the same target that were
// killed before they finished; those of an import still running are its own.
void removeLeftovers(const QString& target) {
    const QFileInfo info(target);
    const QDir dir = info.absoluteDir();
    const QString prefix = info.fileName() + kTemporaryMark;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.startsWith(prefix))
            continue;
        bool ok = false;
        const qint64 pid = name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
        if (!ok || pid <= 0 || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        QFile::remove(dir.filePath(name));
    }
}

// Gives `from` the name `to` unless a file of that name exists; atomic, so
// that a file appearing meanwhile is never replaced.
void renameWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    int status =
        ::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE);
    if (status != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the flag: a hard link fails the same way.
        status = ::link(src.constData(), dst.constData());
        if (status == 0)
            ::unlink(src.constData());
    }
    if (status == 0) {
        const int folder = ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(),
                                  O_RDONLY | O_DIRECTORY);
        if (folder >= 0) {
            ::fsync(folder); // the new name survives a power cut
            ::close(folder);
        }
        return;
    }
    if (errno == EEXIST)
        throw AppError(notEmptyText(to));
    throw AppError(QStringLiteral("取り込んだデータベースを %1 として置けません。フォルダの権限と"
                                  "空き容量を確かめてください。")
                       .arg(to));
}

} // namespace

void ImportTarget::requireEmpty(const QString& target) {
    requireNamed(target);
    if (!writtenInPlace(target))
        return;
    const SideConnection connection(target, SideConnection::Open::Write);
    hasEmptyTables(connection, target);
}

ImportTarget::ImportTarget(const QString& target) : m_target(target) {
    requireNamed(target);
    if (writtenInPlace(target)) {
        open(target); // its tables are made, if need be, by begin()
        return;
    }
    removeLeftovers(target);
    m_temporary = target + kTemporaryMark + QString::number(QCoreApplication::applicationPid());
    removeFileSet(m_temporary);
    open(m_temporary);
    try {
        Schema::create(db());
    } catch (...) {
        close();
        removeFileSet(m_temporary);
        throw;
    }
}

ImportTarget::~ImportTarget() {
    close();
    if (!m_finished && !m_temporary.isEmpty())
        removeFileSet(m_temporary);
}

void ImportTarget::open(const QString& path) {
    m_connection.emplace(path, SideConnection::Open::Write);
}

void ImportTarget::close() {
    m_insert.reset();
    m_transaction.reset(); // rolls back what was not committed
    m_connection.reset();
}

void ImportTarget::begin() {
    m_transaction = std::make_unique<SqlTransaction>(db());
    if (!hasEmptyTables(*m_connection, m_target))
        Schema::createWithin(db());
}

void ImportTarget::insert(const OldTables::Table& table, const QVariantList& values) {
    if (m_insertTable != &table) {
        QStringList names, marks;
        for (const OldTables::Column& c : table.columns) {
            names << c.name;
            marks << QStringLiteral("?");
        }
        m_insert = std::make_unique<SqlQuery>(
            db(), QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table.name, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        m_insertTable = &table;
        // The old program kept passwords in clear; they are stored hashed.
        m_passwordColumn = table.name == QLatin1String("syain_m")
                               ? names.indexOf(QStringLiteral("パスワード"))
                               : -1;
    }
    for (qsizetype c = 0; c < values.size(); ++c) {
        if (c == m_passwordColumn && !values.at(c).toString().isEmpty()) {
            m_insert->bind(PasswordHash::make(values.at(c).toString()));
            ++m_hashed;
        } else {
            m_insert->bind(values.at(c));
        }
    }
    m_insert->exec();
}

int ImportTarget::commit() {
    m_insert.reset();
    m_insertTable = nullptr;
    m_transaction->commit();
    m_transaction.reset();
    return m_hashed;
}

void ImportTarget::finish() {
    if (!m_temporary.isEmpty())
        useProgramJournal(db(), m_temporary);
    close();
    if (!m_temporary.isEmpty())
        renameWithoutReplacing(m_temporary, m_target);
    m_finished = true;
}
