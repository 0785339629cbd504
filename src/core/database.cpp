#include "core/database.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/filesystem.h"
#include "core/ini.h"
#include "core/pgconnection.h"
#include "core/schema.h"
#include "core/sqlfailure.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <utility>

namespace {

const QString kInUseText = QStringLiteral(
    "データベースが他のプログラムで使用中です。しばらく待ってからやり直して下さい。");
const QString kSharedFolderWarning =
    QStringLiteral("データベースファイルが共有フォルダ（ネットワーク上のフォルダ）にあります。\n"
                   "複数のパソコンから同時に書き込むと、データベースが壊れるおそれがあります。\n"
                   "データベースは、使うパソコンのドライブに置いて下さい。\n%1");
const char* const kConnectionName = "tarvel_gCon";
// How long a statement waits for a database that another process holds.
const int kBusyTimeoutMs = 5000;

NetworkFileSystemCheck g_networkCheck = nullptr;
bool g_warnedOfSharedFolder = false;
QString g_pendingWarning;
QString g_dsn; // what the shared connection was opened from

void dropConnection(QSqlDatabase& db, const QString& connectionName) {
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
}

// Write-ahead logging keeps readers from taking a file lock per statement,
// which keeps price lookups in long lists fast. It needs memory shared by
// every process that uses the file, which a network file system cannot
// give across PCs: there the rollback journal is used. FULL sync keeps
// every commit on disk.
void setJournal(const QSqlDatabase& db, bool onNetwork) {
    try {
        execSql(db, onNetwork ? QStringLiteral("PRAGMA journal_mode = DELETE")
                              : QStringLiteral("PRAGMA journal_mode = WAL"));
        execSql(db, QStringLiteral("PRAGMA synchronous = FULL"));
    } catch (const DbError&) {
        // A read-only or busy file still works in its own journal mode.
    }
}

// The tables must be there, and on a server the user must have the rights
// the program needs on each of them.
void requireTables(QSqlDatabase& db, const QString& connectionName, const QString& dsn) {
    QStringList missing;
    QStringList forbidden;
    try {
        missing = missingTables(db);
        if (missing.isEmpty())
            forbidden = tablesWithoutRights(db);
    } catch (const DbError& e) {
        dropConnection(db, connectionName);
        throw DbError(QStringLiteral("データベースを開けません。\n%1\n%2").arg(dsn, e.text()));
    }
    if (!missing.isEmpty()) {
        dropConnection(db, connectionName);
        throw DbError(QStringLiteral("データベースにテーブルがありません: %1\n%2")
                          .arg(missing.join(QStringLiteral(", ")), dsn));
    }
    if (!forbidden.isEmpty()) {
        dropConnection(db, connectionName);
        throw DbError(QStringLiteral("テーブル %1 を使う権限がありません。\n"
                                     "データベースの管理者に、このユーザーへの権限"
                                     "（tarvel-admin roles）の付与を頼んで下さい。")
                          .arg(forbidden.join(QStringLiteral(", "))));
    }
}

QSqlDatabase openServer(const QString& connectionName, const QString& dsn) {
    QSqlDatabase db = PgConnection::open(connectionName, dsn);
    requireTables(db, connectionName, dsn);
    return db;
}

QSqlDatabase openFile(const QString& connectionName, const QString& dsn, bool* onNetwork) {
    if (dsn.trimmed().isEmpty())
        throw DbError(QStringLiteral("TVL.INI の [Access] に DSN キーがありません。"));
    if (PgConnection::isDsn(dsn))
        return openServer(connectionName, dsn);
    QFileInfo info(dsn);
    if (!info.exists() || !info.isFile())
        throw DbError(QStringLiteral("データベースファイルが見つかりません。\n%1").arg(dsn));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(dsn);
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_READWRITE").arg(kBusyTimeoutMs));
    if (!db.open()) {
        const QString text = describeOpenError(db.lastError(), dsn);
        dropConnection(db, connectionName);
        throw DbError(text);
    }
    // SQLite reads the file only at the first statement: that is where a
    // file that is no database, held by another program or not writable
    // shows itself.
    {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            const QString text = describeOpenError(probe.lastError(), dsn);
            probe = QSqlQuery();
            dropConnection(db, connectionName);
            throw DbError(text);
        }
    }
    requireTables(db, connectionName, dsn);
    const bool network = isOnNetworkFileSystem(dsn);
    setJournal(db, network);
    try {
        Schema::upgrade(db);
    } catch (const DbError& e) {
        dropConnection(db, connectionName);
        throw DbError(QStringLiteral("データベースを新しい形式に更新できません。\n%1\n%2")
                          .arg(dsn, e.text()));
    }
    if (onNetwork != nullptr)
        *onNetwork = network;
    return db;
}

} // namespace

void DBOpen() {
    const QString ini = iniFilePath();
    if (!QFileInfo::exists(ini)) {
        DBClose();
        throw DbError(QStringLiteral("設定ファイル TVL.INI が見つかりません。\n探したフォルダ: %1")
                          .arg(QFileInfo(ini).absolutePath()));
    }
    try {
        DBOpenPath(IniRead(QStringLiteral("Access"), QStringLiteral("DSN")));
    } catch (const DsnError& e) {
        throw DbError(QStringLiteral("TVL.INI の ") + e.text());
    }
}

void DBOpenPath(const QString& dsn) {
    DBClose();
    bool onNetwork = false;
    openFile(QString::fromLatin1(kConnectionName), dsn, &onNetwork);
    g_dsn = dsn;
    if (onNetwork && !g_warnedOfSharedFolder) {
        g_warnedOfSharedFolder = true;
        g_pendingWarning = kSharedFolderWarning.arg(dsn);
    }
}

QString takeDatabaseWarning() {
    return std::exchange(g_pendingWarning, QString());
}

void useProgramJournal(const QSqlDatabase& db, const QString& path) {
    setJournal(db, isOnNetworkFileSystem(path));
}

bool isOnNetworkFileSystem(const QString& path) {
    return g_networkCheck ? g_networkCheck(path) : isNetworkFileSystem(path);
}

void setNetworkFileSystemCheck(NetworkFileSystemCheck check) {
    g_networkCheck = check;
    g_warnedOfSharedFolder = false;
    g_pendingWarning.clear();
}

QString DBDsn() {
    return g_dsn;
}

void DBClose() {
    g_dsn.clear();
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
    return openFile(connectionName, path, nullptr);
}

QDateTime databaseNow() {
    if (Clock::isFixed() || engineOf(gCon()) == SqlEngine::Sqlite)
        return Clock::now();
    SqlQuery q(QStringLiteral("SELECT CAST(LOCALTIMESTAMP(0) AS text) AS now"));
    q.exec();
    const QDateTime now =
        q.next() ? SqlValue::toDateTime(q.value(QStringLiteral("now"))) : QDateTime();
    return now.isValid() ? now : Clock::now();
}

QString databaseInUseText() {
    return kInUseText;
}

QString describeOpenError(const QSqlError& error, const QString& path) {
    if (isBusyError(error))
        return kInUseText + QLatin1Char('\n') + path;
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    if (ok && (code & 0xff) == 26) // SQLITE_NOTADB
        return QStringLiteral("データベースファイルではありません。\n%1").arg(path);
    // Writing takes the file and, for its journal, the folder; SQLite then
    // reports only that it cannot open the file.
    const QFileInfo file(path);
    if (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable())
        return QStringLiteral(
                   "データベースファイルまたはそのフォルダに書き込む権限がありません。\n%1")
            .arg(path);
    return QStringLiteral("データベースを開けません。\n%1\n%2").arg(path, describeSqlError(error));
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
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    if (ok) {
        const QString clerk =
            describeSqliteFailure(code, error.databaseText(), gCon().databaseName());
        if (!clerk.isEmpty())
            return clerk;
    }
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    if (text.isEmpty())
        text = QStringLiteral("データベースが開かれていません。");
    return text;
}

void withFileConnection(const QString& connectionName, const QString& path, const QString& options,
                        const std::function<void(QSqlDatabase&)>& work) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
        const auto release = [&db] {
            SqlQuery::releaseStatements(db);
            db.close();
            db = QSqlDatabase();
        };
        try {
            work(db);
        } catch (...) {
            release();
            QSqlDatabase::removeDatabase(connectionName);
            throw;
        }
        release();
    }
    QSqlDatabase::removeDatabase(connectionName);
}
