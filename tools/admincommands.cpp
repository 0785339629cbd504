#include "admincommands.h"
#include "codewidths.h"

#include "backup/damagecheck.h"
#include "core/apperror.h"
#include "core/database.h"
#include "core/employeepassword.h"
#include "core/schema.h"
#include "core/sideconnection.h"
#include "core/sqldialect.h"
#include "core/sqlquery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>

namespace {

void requireNewFile(const QString& path) {
    if (path.trimmed().isEmpty())
        throw AppError(QStringLiteral("データベースファイルのパスが指定されていません。"));
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        throw AppError(QStringLiteral("ファイルが既に存在します。上書きはしません: %1").arg(path));
    if (!info.absoluteDir().exists())
        throw AppError(QStringLiteral("フォルダが存在しません: %1").arg(info.absoluteDir().path()));
}

// On a server: the tables go into an empty database (or schema), and any
// failure drops them again.
template <typename Fill> auto makeOnServer(const QString& dsn, Fill fill) {
    const SideConnection c(dsn, SideConnection::Open::Write);
    if (missingTables(c.db()).size() != Schema::tables().size())
        throw AppError(
            QStringLiteral("データベースに既にテーブルがあります。上書きはしません: %1").arg(dsn));
    try {
        Schema::create(c.db());
        return fill(c.db());
    } catch (...) {
        for (const Schema::Table& t : Schema::tables())
            execSql(c.db(),
                    QStringLiteral("DROP TABLE IF EXISTS %1").arg(QString::fromUtf8(t.name)));
        throw;
    }
}

// Creates the file with its tables and hands the open connection to `fill`;
// any failure removes the file again, so no half-made database is left.
template <typename Fill> auto makeDatabase(const QString& path, Fill fill) {
    if (isServerDatabase(path))
        return makeOnServer(path, fill);
    requireNewFile(path);
    try {
        const SideConnection c(path, SideConnection::Open::Write);
        Schema::create(c.db());
        useProgramJournal(c.db(), path);
        return fill(c.db());
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

// Passwords of older data are hashed at their next login; until then they
// are named.
QStringList clearPasswordProblems(const QSqlDatabase& db) {
    if (missingTables(db).contains(QStringLiteral("syain_m")))
        return {};
    const QStringList codes = employeesWithClearPasswords(db);
    if (codes.isEmpty())
        return {};
    return {QStringLiteral("パスワードが暗号化されていない社員があります: %1"
                           "（次のログインで暗号化されます）")
                .arg(codes.join(QStringLiteral(", ")))};
}

// Codes are compared only in tables that are whole.
QStringList withCodeWidths(const QSqlDatabase& db, QStringList problems) {
    if (problems.isEmpty())
        problems << CodeWidths::problems(db);
    return problems;
}

} // namespace

namespace Admin {

void createDatabase(const QString& path) {
    makeDatabase(path, [](const QSqlDatabase&) { return 0; });
}

DemoData::Summary createDemoDatabase(const QString& path, const QDateTime& now) {
    return makeDatabase(path, [&](const QSqlDatabase& db) { return DemoData::fill(db, now); });
}

QStringList checkDatabase(const QString& path) {
    if (path.trimmed().isEmpty())
        throw AppError(QStringLiteral("データベースファイルのパスが指定されていません。"));
    if (isServerDatabase(path)) {
        const SideConnection c(path, SideConnection::Open::ReadOnly);
        return withCodeWidths(c.db(), Schema::check(c.db()) + damageOf(c.db(), path)) +
               clearPasswordProblems(c.db());
    }
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw AppError(QStringLiteral("データベースファイルが見つかりません: %1").arg(path));
    const SideConnection c(path, SideConnection::Open::ReadOnly);
    // Whether the file is a database at all, or is held by another program,
    // or may not be written where it lies.
    c.requireDatabase();
    QStringList problems = withCodeWidths(c.db(), Schema::check(c.db()) + damageOf(c.db(), path)) +
                           clearPasswordProblems(c.db());
    // Opening for writing changes nothing in the file.
    QFile writable(path);
    if (!writable.open(QIODevice::ReadWrite))
        problems << QStringLiteral("データベースファイルに書き込めません。ファイルの権限を"
                                   "確かめて下さい: %1")
                        .arg(path);
    else if (!QFileInfo(info.absolutePath()).isWritable())
        problems << QStringLiteral("データベースファイルのフォルダに書き込めません。フォルダの"
                                   "権限を確かめて下さい: %1")
                        .arg(info.absolutePath());
    return problems;
}

} // namespace Admin
