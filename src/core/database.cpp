#include "core/database.h"

#include "core/apperror.h"
#include "core/ini.h"
#include "core/schema.h"
#include "core/sqlquery.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString kInUseText = QStringLiteral(
    "データベースが他のプログラムで使用中です。しばらく待ってからやり直して下さい。");
const char* const kConnectionName = "tarvel_gCon";
// How long a statement waits for a database that another process holds.
const int kBusyTimeoutMs = 5000;

QSqlDatabase openFile(const QString& connectionName, const QString& dsn) {
    if (dsn.trimmed().isEmpty())
        throw DbError(QStringLiteral("TVL.INI の [Access] に DSN キーがありません。"));
    QFileInfo info(dsn);
    if (!info.exists() || !info.isFile())
        throw DbError(QStringLiteral("データベースファイルが見つかりません。\n%1").arg(dsn));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(dsn);
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_READWRITE").arg(kBusyTimeoutMs));
    if (!db.open()) {
        QString text = QStringLiteral("データベースを開けません。\n%1\n%2")
                           .arg(dsn, describeSqlError(db.lastError()));
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DbError(text);
    }
    QStringList missing;
    try {
        missing = missingTables(db);
    } catch (const DbError& e) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DbError(
            QStringLiteral("データベースファイルではありません。\n%1\n%2").arg(dsn, e.text()));
    }
    if (missing.isEmpty()) {
        // Write-ahead logging: readers take no file lock per statement, which
        // keeps price lookups in long lists fast; FULL sync keeps every
        // commit on disk.
        try {
            execSql(db, QStringLiteral("PRAGMA journal_mode = WAL"));
            execSql(db, QStringLiteral("PRAGMA synchronous = FULL"));
        } catch (const DbError&) {
            // A read-only or busy file still works in its own journal mode.
        }
    }
    if (!missing.isEmpty()) {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw DbError(QStringLiteral("データベースにテーブルがありません: %1\n%2")
                          .arg(missing.join(QStringLiteral(", ")), dsn));
    }
    return db;
}

} // namespace

void DBOpen() {
    DBOpenPath(IniRead(QStringLiteral("Access"), QStringLiteral("DSN")));
}

void DBOpenPath(const QString& dsn) {
    DBClose();
    openFile(QString::fromLatin1(kConnectionName), dsn);
}

void DBClose() {
    if (!QSqlDatabase::contains(QString::fromLatin1(kConnectionName)))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(QString::fromLatin1(kConnectionName), false);
        // A statement kept prepared (the price lookup's) would keep the
        // file open.
        SqlQuery::releaseStatements(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QString::fromLatin1(kConnectionName));
}

QSqlDatabase gCon() {
    // An unopened, invalid handle makes every later statement fail with an
    // error instead of touching some other database.
    return QSqlDatabase::database(QString::fromLatin1(kConnectionName), false);
}

bool DBIsOpen() {
    return gCon().isOpen();
}

QSqlDatabase openExtraConnection(const QString& connectionName, const QString& path) {
    return openFile(connectionName, path);
}

bool isBusyError(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    // SQLITE_BUSY (5) and SQLITE_LOCKED (6) with every extended variant
    // (BUSY_SNAPSHOT 517, LOCKED_SHAREDCACHE 262, ...): the low byte is the
    // primary code. The driver's English text is the fallback when a code
    // is missing.
    if (ok && ((code & 0xff) == 5 || (code & 0xff) == 6))
        return true;
    const QString text = error.databaseText();
    return text.contains(QLatin1String("database is locked")) ||
           text.contains(QLatin1String("database table is locked")) ||
           text.contains(QLatin1String("database is busy"));
}

QString describeSqlError(const QSqlError& error) {
    if (isBusyError(error))
        return kInUseText;
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    if (text.isEmpty())
        text = QStringLiteral("データベースが開かれていません。");
    return text;
}
