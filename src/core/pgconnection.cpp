#include "core/pgconnection.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/sqlfailure.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <libpq-fe.h>
#include <memory>
#include <sys/stat.h>

namespace {

const QString kLost = QStringLiteral(
    "データベースサーバーとの接続が切れました。書きかけの内容は保存されていません。\n"
    "サーバーが動いていることを確かめてから、もう一度操作して下さい（接続し直します）。");

QHash<PGconn*, quint64>& generations() {
    static QHash<PGconn*, quint64> counts;
    return counts;
}

// Connections whose failure read as a loss although libpq still calls them
// good: the next action makes them again.
QSet<PGconn*>& broken() {
    static QSet<PGconn*> gone;
    return gone;
}

QSet<PGconn*>& inTransaction() {
    static QSet<PGconn*> open;
    return open;
}

// libpq passes over a password file that others may read, with an English
// warning on standard error, and the login then fails for want of a
// password. "" when there is no such file.
QString unsafePasswordFile(const QString& named) {
    QString path = named;
    if (path.isEmpty())
        path = qEnvironmentVariable("PGPASSFILE");
    if (path.isEmpty())
        path = QDir::home().filePath(QStringLiteral(".pgpass"));
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        (info.st_mode & (S_IRWXG | S_IRWXO)) == 0)
        return {};
    return QStringLiteral("パスワードファイル %1 はほかのユーザーも読める設定のため、使えません。\n"
                          "chmod 600 %1 で本人だけが読み書きできるようにして下さい。")
        .arg(QDir::toNativeSeparators(path));
}

struct Target {
    QString host; // host name, address or socket folder
    QString port;
    QString user;
    QString database;
};

QString whereText(const Target& t) {
    const QString host = t.host.isEmpty() ? QStringLiteral("localhost") : t.host;
    const QString port = t.port.isEmpty() ? QStringLiteral("5432") : t.port;
    return QStringLiteral("%1:%2").arg(host, port);
}

// libpq's messages are English unless the server speaks another language;
// they only choose which of the user's texts applies, never reach him.
QString connectFailure(const QString& message, const Target& t) {
    const QString user = t.user.isEmpty() ? QString::fromLocal8Bit(qgetenv("USER")) : t.user;
    if (message.contains(QLatin1String("authentication failed")) ||
        message.contains(QLatin1String("no password supplied")) ||
        message.contains(QLatin1String("pg_hba.conf")) ||
        (message.contains(QLatin1String("role \"")) &&
         message.contains(QLatin1String("does not exist"))))
        return QStringLiteral("データベースサーバー %1 にユーザー %2 としてログインできません。\n"
                              "ユーザー名と、.pgpass のパスワード、サーバーの接続許可"
                              "（pg_hba.conf）を確かめて下さい。")
            .arg(whereText(t), user);
    if (message.contains(QLatin1String("database \"")) &&
        message.contains(QLatin1String("does not exist")))
        return QStringLiteral("データベースサーバー %1 にデータベース %2 がありません。\n"
                              "TVL.INI の DSN のデータベース名を確かめて下さい。")
            .arg(whereText(t), t.database);
    return QStringLiteral("データベースサーバー %1 に接続できません。\n"
                          "サーバーが動いていること、ネットワークとホスト名・ポート番号を"
                          "確かめて下さい。")
        .arg(whereText(t));
}

// Settings every session needs: the value forms SqlQuery hands on, and a
// lock wait as long as SQLite's busy timeout. No JIT compilation: the
// program's large statements (a list, a settlement's selection) price each
// row by a short index look-up, and compiling them took longer (1.6 s for
// 100,000 slips) than it could ever save.
bool setUpSession(PGconn* conn) {
    // The server's notices (a cascade, a name cut short) are for a person at
    // a terminal; libpq would print them on standard error.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    std::unique_ptr<PGresult, decltype(&PQclear)> r(
        PQexec(conn, "SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD';"
                     " SET lock_timeout = '5s'; SET jit = off"),
        &PQclear);
    return PQresultStatus(r.get()) == PGRES_COMMAND_OK;
}

// Every session of the program holds this lock shared for as long as it
// lives, so that a restore, which takes it alone, knows nobody is working.
// A session that cannot have it meets a restore under way.
bool holdInUse(PGconn* conn) {
    std::unique_ptr<PGresult, decltype(&PQclear)> r(
        PQexec(conn, "SELECT pg_try_advisory_lock_shared(hashtext('tarvel in use ' ||"
                     " current_schema()))"),
        &PQclear);
    return PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQntuples(r.get()) == 1 &&
           qstrcmp(PQgetvalue(r.get(), 0, 0), "t") == 0;
}

QString quoted(const QString& value) {
    QString v = value;
    v.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    v.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

PGconn* rawHandle(const QSqlDatabase& db) {
    // Not isOpen(): Qt's driver calls a lost connection closed, but its
    // handle is still there to connect again; close() alone drops it.
    if (!db.isValid() || db.driver() == nullptr)
        throw DbError(QStringLiteral("データベースが開かれていません。"));
    const QVariant h = db.driver()->handle();
    // Qt 6 names the type by its struct, older ones by the typedef.
    if (!h.isValid() ||
        (qstrcmp(h.typeName(), "pg_conn*") != 0 && qstrcmp(h.typeName(), "PGconn*") != 0))
        throw DbError(QStringLiteral("データベースが開かれていません。"));
    PGconn* conn = *static_cast<PGconn* const*>(h.constData());
    if (conn == nullptr)
        throw DbError(QStringLiteral("データベースが開かれていません。"));
    return conn;
}

} // namespace

namespace PgConnection {

QSqlDatabase open(const QString& connectionName, const QString& dsn) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(dsn.trimmed().toUtf8().constData(), &error);
    if (options == nullptr) {
        PQfreemem(error);
        throw DsnError(QStringLiteral("DSN を読めません。postgresql://ユーザー@ホスト/"
                                      "データベース の形で書いて下さい。"));
    }
    Target target;
    QStringList rest;
    QString passwordFile;
    bool hasPassword = false;
    for (PQconninfoOption* o = options; o->keyword != nullptr; ++o) {
        if (o->val == nullptr)
            continue;
        const QString key = QString::fromUtf8(o->keyword);
        const QString value = QString::fromUtf8(o->val);
        if (key == QLatin1String("host"))
            target.host = value;
        else if (key == QLatin1String("port"))
            target.port = value;
        else if (key == QLatin1String("user"))
            target.user = value;
        else if (key == QLatin1String("dbname"))
            target.database = value;
        else if (key == QLatin1String("password"))
            hasPassword = true;
        else {
            if (key == QLatin1String("passfile"))
                passwordFile = value;
            rest << key + QLatin1Char('=') + quoted(value);
        }
    }
    PQconninfoFree(options);
    if (hasPassword)
        throw DsnError(QStringLiteral("DSN にパスワードを書かないで下さい。\n"
                                      "パスワードは各パソコンの .pgpass に書きます。"));
    const QString unsafe = unsafePasswordFile(passwordFile);
    if (!unsafe.isEmpty())
        throw DbError(unsafe);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(target.host);
    db.setDatabaseName(target.database);
    db.setUserName(target.user);
    if (!target.port.isEmpty())
        db.setPort(target.port.toInt());
    db.setConnectOptions(rest.join(QLatin1Char(';')));
    const bool opened = db.open();
    const QString failure = opened ? QString() : db.lastError().databaseText();
    const bool ready = opened && setUpSession(rawHandle(db));
    if (ready && holdInUse(rawHandle(db)))
        return db;
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName);
    throw DbError(ready ? databaseInUseText() : connectFailure(failure, target));
}

PGconn* handle(const QSqlDatabase& db) {
    PGconn* conn = rawHandle(db);
    reconnect(conn);
    return conn;
}

void reconnect(PGconn* conn) {
    if (PQstatus(conn) == CONNECTION_OK && !broken().contains(conn))
        return;
    if (inTransaction().contains(conn))
        throw DbError(kLost);
    broken().remove(conn);
    PQreset(conn);
    if (PQstatus(conn) != CONNECTION_OK || !setUpSession(conn) || !holdInUse(conn)) {
        const Target t{QString::fromUtf8(PQhost(conn)), QString::fromUtf8(PQport(conn)),
                       QString::fromUtf8(PQuser(conn)), QString::fromUtf8(PQdb(conn))};
        throw DbError(connectFailure(QString::fromUtf8(PQerrorMessage(conn)), t));
    }
    ++generations()[conn];
}

void setInTransaction(PGconn* conn, bool open) {
    if (open)
        inTransaction().insert(conn);
    else
        inTransaction().remove(conn);
}

QString lostText() {
    return kLost;
}

quint64 generation(PGconn* conn) {
    return generations().value(conn);
}

void execScript(const QSqlDatabase& db, const QString& sql) {
    PGconn* conn = handle(db);
    std::unique_ptr<PGresult, decltype(&PQclear)> r(PQexec(conn, sql.toUtf8().constData()),
                                                    &PQclear);
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw DbError(describe(conn, r.get()));
}

QString describe(PGconn* conn, const PGresult* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const QString code = QString::fromLatin1(state ? state : "");
    // A failure without the server's code is libpq's own: the server did
    // not answer (a restart leaves the connection looking good until libpq
    // reads the end of it).
    if (PQstatus(conn) != CONNECTION_OK || code.isEmpty() || code.startsWith(QLatin1String("08")) ||
        code.startsWith(QLatin1String("57P"))) {
        broken().insert(conn);
        return kLost;
    }
    return describeServerFailure(
        code, QString::fromUtf8(result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)
                                       : PQerrorMessage(conn)));
}

PGconn* currentHandle(const QSqlDatabase& db) {
    try {
        return rawHandle(db);
    } catch (const DbError&) {
        return nullptr;
    }
}

bool lost(const QSqlDatabase& db) {
    PGconn* conn = currentHandle(db);
    return conn == nullptr || PQstatus(conn) != CONNECTION_OK || broken().contains(conn);
}

bool transactionFailed(const QSqlDatabase& db) {
    return PQtransactionStatus(rawHandle(db)) == PQTRANS_INERROR;
}

} // namespace PgConnection
