#include "core/apperror.h"
#include "core/database.h"
#include "core/pgconnection.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QCoreApplication>
#include <QTest>

// What a clerk reads when the server cannot be used, and what happens to
// the work of the moment when it goes away (runs only on a server).
namespace {

// A connection of the test's own, as the server's owner.
struct Admin {
    Admin() : db(PgConnection::open("admin", qEnvironmentVariable("TARVEL_TEST_PG_DSN"))) {}
    ~Admin() {
        SqlQuery::releaseStatements(db);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("admin");
    }
    QSqlDatabase db;
};

} // namespace

class TestPgConnection : public QObject {
    Q_OBJECT
  private slots:
    void faultsAreNamedInJapanese() {
        // SQL run as the owner first (%1: the test's schema), added to the
        // test database's DSN, what the clerk reads.
        const std::tuple<QString, QString, QString> cases[] = {
            {"", " port=1", ":1 に接続できません"},
            {"", " user=nobody_here", "ユーザー nobody_here としてログインできません"},
            {"", " dbname=no_such_db", "データベース no_such_db がありません"},
            {"", " password=secret", "パスワードを書かないで下さい"},
            {"CREATE ROLE reader_%1 LOGIN;"
             " GRANT USAGE ON SCHEMA %1 TO reader_%1;"
             " GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA %1 TO reader_%1;"
             " REVOKE SELECT ON %1.tanka_m FROM reader_%1",
             " user=reader_%1", "テーブル tanka_m を使う権限がありません"},
            {"SELECT pg_advisory_lock(hashtext('tarvel in use ' || '%1'))", "",
             "他のプログラムで使用中"}};
        for (auto [setUp, dsnTail, expected] : cases) {
            TestDatabase t;
            const QString name = TestRuns::rows("SELECT current_schema()").value(0);
            DBClose();
            Admin admin;
            for (const QString& sql : setUp.replace("%1", name).split(';', Qt::SkipEmptyParts))
                execSql(admin.db, sql);
            const QString text =
                TestRuns::errorOf([&] { openDatabase(t.path() + dsnTail.replace("%1", name)); });
            QVERIFY2(text.contains(expected) && !text.contains("FATAL") &&
                         !text.contains("ERROR") && !text.contains("password=secret"),
                     qPrintable(text));
        }
    }

    void aLostServerIsNamedOnceThenConnectedAgain() {
        TestDatabase t;
        const QString pid = TestRuns::rows("SELECT pg_backend_pid()").value(0);
        Admin admin;
        const QString text = TestRuns::errorOf([&] {
            SqlTransaction tx;
            execSql("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES ('P1', 'x', 0)");
            execSql(admin.db, "SELECT pg_terminate_backend(?)", {pid});
            execSql("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES ('P2', 'x', 0)");
            tx.commit();
        });
        QVERIFY2(text.startsWith("データベースサーバーとの接続が切れました"), qPrintable(text));
        // Connected again; nothing of the lost work kept.
        QCOMPARE(TestRuns::rows("SELECT count(*) AS n FROM zuban_m"), QStringList{"0"});
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestPgConnection test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_pgconnection.moc"
