#pragma once

#include "core/apperror.h"
#include "core/sqlquery.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTest>

// Small pieces that many tests share: the text of a failure, files as bytes,
// a second connection to a database file, and runs of tarvel-admin.
namespace TestRuns {

// The text of the AppError (or DbError) that `run` throws, "(no error)" else.
template <typename F> QString errorOf(F&& run) {
    try {
        run();
    } catch (const AppError& e) {
        return e.text();
    }
    return QStringLiteral("(no error)");
}

// Rows of a query as "a|b|c" lines (Null shows as "").
inline QStringList rows(const QString& sql, const QVariantList& values = {}) {
    QStringList out;
    try {
        SqlQuery q(sql);
        for (const QVariant& v : values)
            q.bind(v);
        q.exec();
        const QStringList columns = q.columns();
        while (q.next()) {
            QStringList cells;
            for (const QString& c : columns)
                cells << q.str(c);
            out << cells.join(QLatin1Char('|'));
        }
    } catch (const DbError& e) {
        return {QStringLiteral("error: ") + e.text()};
    }
    return out;
}

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& data,
                       QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Truncate) {
    QFile f(path);
    return f.open(mode) && f.write(data) == data.size();
}

// Runs `use` on the SQLite file through a connection of its own, as another
// program would.
template <typename F> void onSideConnection(const QString& path, F&& use) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "side");
        db.setDatabaseName(path);
        if (db.open())
            use(db);
        else
            QTest::qFail("cannot open a second connection", __FILE__, __LINE__);
        db.close();
    }
    QSqlDatabase::removeDatabase("side");
}

inline void execOn(const QString& path, const QStringList& statements) {
    onSideConnection(path, [&](QSqlDatabase& db) {
        for (const QString& statement : statements)
            execSql(db, statement);
    });
}

// Starts another copy of this test executable with extra "NAME=value"
// settings in its environment.
inline void startCopy(QProcess& copy, const QStringList& settings) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& s : settings)
        env.insert(s.section('=', 0, 0), s.section('=', 1));
    copy.setProcessEnvironment(env);
    copy.start(QCoreApplication::applicationFilePath(), {});
}

#ifdef TARVEL_ADMIN_PATH
struct AdminRun {
    int exitCode = -1;
    QString out, err;
    QByteArray bytes; // stdout as written
};

inline AdminRun admin(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TARVEL_ADMIN_PATH), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    const QByteArray bytes = p.readAllStandardOutput();
    return {p.exitCode(), QString::fromUtf8(bytes), QString::fromUtf8(p.readAllStandardError()),
            bytes};
}
#endif

} // namespace TestRuns
