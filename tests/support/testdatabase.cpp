#include "support/testdatabase.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/passwordhash.h"
#include "core/pgconnection.h"
#include "core/schema.h"
#include "core/session.h"
#include "core/sqlquery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>

namespace {

const char* const kAdminConnection = "tarvel_test_admin";

QString serverDsn() {
    const QString dsn = qEnvironmentVariable("TARVEL_TEST_PG_DSN");
    if (dsn.isEmpty())
        qFatal("TARVEL_TEST_ENGINE=postgresql needs TARVEL_TEST_PG_DSN: "
               "start a server with scripts/pg-cluster.sh");
    return dsn;
}

// Runs statements on the test server outside any schema of a test.
void onServer(const QStringList& statements) {
    {
        QSqlDatabase db = PgConnection::open(QString::fromLatin1(kAdminConnection), serverDsn());
        for (const QString& sql : statements)
            execSql(db, sql);
        SqlQuery::releaseStatements(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QString::fromLatin1(kAdminConnection));
}

QString schemaDsn(const QString& schema) {
    return serverDsn() + QStringLiteral(" options='-c search_path=%1'").arg(schema);
}

} // namespace

bool TestDatabase::onServer() {
    return qEnvironmentVariable("TARVEL_TEST_ENGINE") == QLatin1String("postgresql");
}

TestDatabase::TestDatabase(const QDateTime& now) : m_oldCwd(QDir::currentPath()) {
    Clock::setFixed(now);
    PasswordHash::useLightCostForTests();
    m_path = newDatabase(QStringLiteral("tarvel"));
    // TVL.INI, and so the backups before a settlement and the print folder,
    // are found in the working folder: the test's own, never the build
    // folder that test programs running at once share.
    QDir::setCurrent(m_dir.path());
    if (onServer()) {
        QSqlDatabase db = PgConnection::open(QStringLiteral("tarvel_test_create"), m_path);
        Schema::create(db);
        // What tests' refusal triggers call (SQLite's RAISE(ABORT, text)).
        execSql(db, QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql"
                                   " AS $$BEGIN RAISE EXCEPTION '%', TG_ARGV[0]; END$$"));
        SqlQuery::releaseStatements(db);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("tarvel_test_create"));
    } else {
        Schema::createFile(m_path);
    }
    openDatabase(m_path);
    gEmpCode = QStringLiteral("E001");
}

TestDatabase::~TestDatabase() {
    DBClose();
    QDir::setCurrent(m_oldCwd);
    Clock::useSystemClock();
    QStringList drops;
    for (const QString& schema : std::as_const(m_schemas))
        drops << QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema);
    if (!drops.isEmpty()) {
        try {
            ::onServer(drops);
        } catch (const AppError&) {
            // The cluster goes away with the run.
        }
    }
}

QString TestDatabase::newDatabase(const QString& name) {
    if (!onServer())
        return m_dir.filePath(name + QStringLiteral(".sqlite"));
    static int counter = 0;
    const QString schema = QStringLiteral("t%1_%2_%3")
                               .arg(QCoreApplication::applicationPid())
                               .arg(++counter)
                               .arg(name.toLower());
    ::onServer({QStringLiteral("CREATE SCHEMA %1").arg(schema)});
    m_schemas << schema;
    return schemaDsn(schema);
}

QString TestDatabase::copy(const QString& name) {
    if (!onServer()) {
        const QString path = newDatabase(name);
        if (!QFile::copy(m_path, path))
            throw AppError(QStringLiteral("cannot copy %1").arg(m_path));
        return path;
    }
    const QString from = m_schemas.first();
    const QString dsn = newDatabase(name);
    const QString to = m_schemas.last();
    QStringList statements;
    for (const Schema::Table& t : Schema::tables()) {
        const QString table = QString::fromUtf8(t.name);
        statements
            << QStringLiteral("CREATE TABLE %1.%3 (LIKE %2.%3 INCLUDING ALL)").arg(to, from, table)
            << QStringLiteral("INSERT INTO %1.%3 SELECT * FROM %2.%3").arg(to, from, table);
    }
    // The schema's version is syain_m's comment, which LIKE does not copy.
    statements << QStringLiteral("DO $$ BEGIN EXECUTE format('COMMENT ON TABLE %I.syain_m IS %L',"
                                 " '%2', obj_description('%1.syain_m'::regclass, 'pg_class'));"
                                 " END $$")
                      .arg(from, to);
    ::onServer(statements);
    return dsn;
}

void TestDatabase::writeIni(const QString& contents) {
    QFile f(m_dir.filePath(QStringLiteral("TVL.INI")));
    f.open(QIODevice::WriteOnly);
    f.write(contents.toUtf8());
    f.close();
    QDir::setCurrent(m_dir.path());
}
