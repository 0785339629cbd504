#include "core/database.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/filesystem.h"
#include "core/ini.h"
#include "core/pgconnection.h"
#include "core/schema.h"
#include "core/sqldialect.h"
#include "core/sqlfailure.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <utility>

namespace {

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

// A database made by an older version of the program is brought up to this
// one's schema before anything else reads it. On a server only its owner
// may change the schema; the clerks' PCs wait until the owner's has opened it.
void upgradeSchema(QSqlDatabase& db, const QString& connectionName, const QString& dsn) {
    QString refusal;
    try {
        if (Schema::version(db) < Schema::kVersion && !Schema::mayUpgrade(db))
            refusal = QStringLiteral("データベースの形式が古く、このユーザーでは新しい形式に"
                                     "更新できません。\n%1\n所有者のユーザーで接続するパソコン"
                                     "（精算をするパソコン）で一度開くと更新されます。"
                                     "その後で開き直して下さい。")
                          .arg(dsn);
        else
            Schema::upgrade(db);
    } catch (const DbError& e) {
        refusal =
            QStringLiteral("データベースを新しい形式に更新できません。\n%1\n%2").arg(dsn, e.text());
    }
    if (refusal.isEmpty())
        return;
    dropConnection(db, connectionName);
    throw DbError(refusal);
}

QSqlDatabase openServer(const QString& connectionName, const QString& dsn) {
    QSqlDatabase db = PgConnection::open(connectionName, dsn);
    requireTables(db, connectionName, dsn);
    upgradeSchema(db, connectionName, dsn);
    return db;
}

QSqlDatabase openFile(const QString& connectionName, const QString& dsn, bool* onNetwork) {
    if (dsn.trimmed().isEmpty())
        throw DbError(QStringLiteral("TVL.INI の [Access] に DSN キーがありません。"));
    if (isServerDatabase(dsn))
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
    try {
        requireReadableFile(db, dsn);
    } catch (const DbError&) {
        dropConnection(db, connectionName);
        throw;
    }
    requireTables(db, connectionName, dsn);
    const bool network = isOnNetworkFileSystem(dsn);
    setJournal(db, network);
    upgradeSchema(db, connectionName, dsn);
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
        openDatabase(IniRead(QStringLiteral("Access"), QStringLiteral("DSN")));
    } catch (const DsnError& e) {
        throw DbError(QStringLiteral("TVL.INI の ") + e.text());
    }
}

void openDatabase(const QString& dsn) {
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

QString openDatabaseDsn() {
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

bool databaseIsOpen() {
    return gCon().isOpen();
}

QSqlDatabase openExtraConnection(const QString& connectionName, const QString& path) {
    return openFile(connectionName, path, nullptr);
}

void requireReadableFile(const QSqlDatabase& db, const QString& path) {
    // SQLite reads the file only at the first statement: that is where a
    // file that is no database, held by another program or not writable
    // shows itself.
    QSqlQuery probe(db);
    if (probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return;
    const QSqlError error = probe.lastError();
    if (isNotADatabase(error))
        throw NotADatabaseError(describeOpenError(error, path));
    throw DbError(describeOpenError(error, path));
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
