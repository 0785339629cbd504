#include "backup/serverdump.h"

#include "core/apperror.h"
#include "core/pgconnection.h"
#include "core/schema.h"
#include "core/sideconnection.h"
#include "core/sqlquery.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <functional>

namespace {

// Runs one of the server's tools; its English output never reaches the
// clerk, only what it means.
QByteArray runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    p.start();
    if (!p.waitForStarted())
        throw AppError(QStringLiteral("%1 が見つかりません。パッケージ postgresql-client を"
                                      "インストールして下さい。")
                           .arg(program));
    p.waitForFinished(-1);
    const QByteArray errors = p.readAllStandardError();
    if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return p.readAllStandardOutput();
    if (errors.contains("version mismatch"))
        throw AppError(QStringLiteral("%1 の版がサーバーより古いため使えません。サーバーと同じ版の"
                                      "postgresql-client をインストールして下さい。")
                           .arg(program));
    // The lost server is the cause to name first, not the tool that met it.
    if (errors.contains("server closed the connection") ||
        errors.contains("terminating connection") || errors.contains("could not receive data") ||
        errors.contains("no connection to the server"))
        throw AppError(PgConnection::lostText());
    if (errors.contains("must be owner of") || errors.contains("permission denied"))
        throw AppError(QStringLiteral("%1 に必要な権限がありません。データベースとテーブルの所有者"
                                      "のユーザーで実行して下さい。")
                           .arg(program));
    throw AppError(QStringLiteral("%1 が失敗しました（終了コード %2）。サーバーへの接続と権限、"
                                  "保存先の空き容量を確認して下さい。")
                       .arg(program)
                       .arg(p.exitCode()));
}

// Work on a connection of its own, closed and removed afterwards.
void onConnection(const QString& dsn, const std::function<void(const QSqlDatabase&)>& work) {
    const SideConnection server(dsn, SideConnection::Open::Write);
    work(server.db());
}

// In one repeatable-read transaction, so that counts and a dump can share
// one snapshot.
void inSnapshot(const QString& dsn, const std::function<void(const QSqlDatabase&)>& work) {
    onConnection(dsn, [&](const QSqlDatabase& db) {
        execSql(db, QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
        work(db);
        execSql(db, QStringLiteral("COMMIT"));
    });
}

DatabaseCopy::RowCounts countRows(const QSqlDatabase& db) {
    DatabaseCopy::RowCounts rows;
    for (const Schema::Table& t : Schema::tables()) {
        // Unquoted, as the tables were made: table names come from the schema.
        SqlQuery q(db, QStringLiteral("SELECT count(*) AS n FROM ") + QString::fromUtf8(t.name));
        q.exec();
        rows[QString::fromUtf8(t.name)] = q.next() ? q.value(QStringLiteral("n")).toLongLong() : 0;
    }
    return rows;
}

// Every table's data must be listed in the dump's table of contents.
// Returns the schema the dump holds.
QString checkDump(const QString& path) {
    QString toc;
    try {
        toc = QString::fromUtf8(runTool(QStringLiteral("pg_restore"), {"--list", path}));
    } catch (const AppError&) {
        throw AppError(
            QStringLiteral(
                "バックアップを読めません。pg_dump で書き出したファイルを指定して下さい。\n%1")
                .arg(path));
    }
    QStringList missing;
    QString schema;
    for (const Schema::Table& t : Schema::tables()) {
        const QRegularExpression entry(
            QStringLiteral(" TABLE DATA (\\S+) %1 ").arg(QString::fromUtf8(t.name)),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = entry.match(toc);
        if (m.hasMatch())
            schema = m.captured(1);
        else
            missing << QString::fromUtf8(t.name);
    }
    if (!missing.isEmpty())
        throw AppError(QStringLiteral("Tarvel のバックアップではありません（テーブルがありません: "
                                      "%1）。\n%2")
                           .arg(missing.join(QStringLiteral("、")), path));
    return schema;
}

} // namespace

namespace ServerDump {

DatabaseCopy::Copy dumpTo(const QString& dsn, const QString& target,
                          const PartFile::NextName& next) {
    if (QFile::exists(target) && !next)
        throw AppError(
            QStringLiteral("バックアップの保存先に同じ名前のファイルがあります。\n%1").arg(target));
    PartFile part(target);
    DatabaseCopy::Copy copy;
    inSnapshot(dsn, [&](const QSqlDatabase& db) {
        // Only the schema the program works in: others on the server are
        // not this office's data.
        SqlQuery snapshot(db, QStringLiteral("SELECT pg_export_snapshot() AS id,"
                                             " current_schema() AS schema"));
        snapshot.exec();
        snapshot.next();
        copy.rows = countRows(db);
        runTool(QStringLiteral("pg_dump"),
                {"--format=custom", "--snapshot=" + snapshot.value(QStringLiteral("id")).toString(),
                 "--schema=\"" + snapshot.value(QStringLiteral("schema")).toString() + "\"",
                 "--file=" + part.path(), "--dbname=" + dsn});
    });
    checkDump(part.path());
    copy.path = part.place(next);
    return copy;
}

DatabaseCopy::Restored restore(const QString& dumpPath, const QString& dsn) {
    const QString dumpSchema = checkDump(dumpPath);
    QString schema;
    QStringList missing;
    onConnection(dsn, [&](const QSqlDatabase& db) {
        SqlQuery q(db, QStringLiteral("SELECT current_schema() AS name"));
        q.exec();
        schema = q.next() ? q.str(QStringLiteral("name")) : QString();
        missing = missingTables(db);
    });
    // A dump goes back into the schema it was taken from, whatever the DSN
    // names: another schema there is another office's data.
    if (schema != dumpSchema)
        throw AppError(QStringLiteral("このバックアップはスキーマ %1 のものです。接続先のスキーマ"
                                      " %2 には復元できません。DSN を確かめて下さい。")
                           .arg(dumpSchema, schema));
    const bool empty = missing.size() == Schema::tables().size();
    if (!missing.isEmpty() && !empty)
        throw AppError(QStringLiteral("復元先のデータベースにテーブルが欠けています（%1）。"
                                      "tarvel-admin check で確かめて下さい。")
                           .arg(missing.join(QStringLiteral("、"))));
    DatabaseCopy::Restored done;
    // An empty database (made by create, or new) has nothing to keep aside.
    if (!empty) {
        done.keptAs = dumpPath + QStringLiteral(".before-restore");
        QFile::remove(done.keptAs);
        dumpTo(dsn, done.keptAs);
    }
    onConnection(dsn, [&](const QSqlDatabase& db) {
        // Held alone while the dump goes back: no program may have the
        // database open, and none can open it meanwhile.
        SqlQuery alone(db, QStringLiteral("SELECT pg_try_advisory_lock(hashtext('tarvel in use ' ||"
                                          " current_schema())) AS alone"));
        alone.exec();
        if (!alone.next() || !alone.value(QStringLiteral("alone")).toBool()) {
            if (!done.keptAs.isEmpty())
                QFile::remove(done.keptAs);
            throw AppError(QStringLiteral("ほかのパソコンまたはプログラムがデータベースを使用中の"
                                          "ため、復元できません。すべて終了してからやり直して"
                                          "下さい。"));
        }
        runTool(QStringLiteral("pg_restore"), {"--clean", "--if-exists", "--single-transaction",
                                               "--exit-on-error", "--dbname=" + dsn, dumpPath});
    });
    inSnapshot(dsn, [&](const QSqlDatabase& db) { done.rows = countRows(db); });
    return done;
}

} // namespace ServerDump
