#include "backup/autobackup.h"
#include "backup/screens/backupbeforerun.h"
#include "backup/serverdump.h"
#include "core/apperror.h"
#include "core/database.h"
#include "core/pgconnection.h"
#include "core/screens/messagebox.h"
#include "core/sqlquery.h"
#include "support/testdatabase.h"
#include "support/testruns.h"
#include "support/writercopies.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cstdio>

// Backups of a database on a server (runs only there): dumps taken while
// another copy writes hold what they counted, and go back only while nobody
// works on the database.
namespace {

const QString kStop = QStringLiteral("stop-writing");

qint64 drawings() {
    return TestRuns::rows("SELECT count(*) AS n FROM zuban_m").value(0).toLongLong();
}

// Copy 0 writes drawings until the test says stop.
void writeDrawings(const QString& dsn, int) {
    openDatabase(dsn);
    const QDir folder(qEnvironmentVariable("TARVEL_TEST_STOP_DIR"));
    for (int i = 0; i < 100000 && !folder.exists(kStop); ++i)
        execSql(
            QStringLiteral("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, 0)"),
            {QStringLiteral("P%1").arg(i), QStringLiteral("図番")});
    DBClose();
    std::printf("0\n");
}

} // namespace

class TestServerDump : public QObject {
    Q_OBJECT
  private slots:
    void dumpsWhileAnotherCopyWritesGoBackWhole() {
        TestDatabase t;
        t.writeIni("[Backup]\nFolder=saved\n");
        qputenv("TARVEL_TEST_STOP_DIR", t.dirPath().toUtf8());
        QStringList reports;
        QThread* writer = QThread::create([&] { reports = WriterCopies::run(t.path(), 1); });
        writer->start();
        QMap<QString, qint64> counted; // dump -> drawings counted in its snapshot
        for (int i = 1; i <= 3; ++i) {
            while (drawings() < 5 * i)
                QThread::msleep(20);
            const DatabaseCopy::Copy copy =
                AutoBackup::take(openDatabaseDsn(), {t.dirPath() + "/saved", 100},
                                 QDateTime(QDate(2026, 12, 7), QTime(10, 0, i)));
            counted[copy.path] = copy.rows.value("zuban_m");
        }
        QFile(t.dirPath() + "/" + kStop).open(QIODevice::WriteOnly);
        writer->wait();
        delete writer;
        QCOMPARE(reports, QStringList{"0"});
        // The screen's backup before a run takes a dump too.
        QWidget parent;
        QVERIFY(backupBeforeRun(&parent));
        const QStringList kept = AutoBackup::backupsIn(t.dirPath() + "/saved");
        QCOMPARE(kept.size(), 4);
        const qint64 final = drawings();

        // Refused while this program has the database open.
        const QString refused =
            TestRuns::errorOf([&] { ServerDump::restore(kept.first(), t.path()); });
        QVERIFY2(refused.contains("使用中"), qPrintable(refused));
        QCOMPARE(drawings(), final);
        DBClose();
        for (auto it = counted.cbegin(); it != counted.cend(); ++it) {
            const qint64 restored = ServerDump::restore(it.key(), t.path()).rows.value("zuban_m");
            QCOMPARE(restored, it.value());
            QVERIFY(restored >= 5 && restored <= final);
            QVERIFY(QFileInfo::exists(it.key() + ".before-restore"));
            openDatabase(t.path());
            QCOMPARE(drawings(), restored);
            DBClose();
        }
    }

    void adminCommandsOnAServer() {
        TestDatabase t;
        execSql("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES ('P1', 'x', 0)");
        execSql("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES ('P2', 'x', 0)");
        QCOMPARE(TestRuns::admin({"check", t.path()}).exitCode, 0);
        // A unique index built concurrently over equal names fails and stays
        // behind unusable: damage the server's catalogue knows of.
        const QString failed = TestRuns::errorOf(
            [] { execSql("CREATE UNIQUE INDEX CONCURRENTLY names ON zuban_m (図番名称)"); });
        QVERIFY(failed != "(no error)");
        const TestRuns::AdminRun damaged = TestRuns::admin({"check", t.path()});
        QVERIFY2(damaged.exitCode == 1 && damaged.err.contains("インデックス names が使えない"),
                 qPrintable(damaged.err));
        execSql("DROP INDEX names");
        execSql("DELETE FROM zuban_m WHERE 製品図番 = 'P2'");
        DBClose();
        const TestRuns::AdminRun backup = TestRuns::admin({"backup", t.path(), t.dirPath()});
        QVERIFY2(backup.exitCode == 0 && backup.out.contains("zuban_m\t1\n"),
                 qPrintable(backup.err));
        const QString dump = AutoBackup::backupsIn(t.dirPath()).value(0);
        QVERIFY(dump.endsWith(".dump"));
        QCOMPARE(TestRuns::admin({"restore", dump, t.path()}).exitCode, 0);
        // Not a dump: the tool's own words stay out of the message.
        QVERIFY(TestRuns::writeBytes(t.dirPath() + "/garbage.dump", "not a dump"));
        const TestRuns::AdminRun garbage =
            TestRuns::admin({"restore", t.dirPath() + "/garbage.dump", t.path()});
        QVERIFY2(garbage.exitCode == 1 && garbage.err.contains("バックアップを読めません") &&
                     !garbage.err.contains("pg_restore:"),
                 qPrintable(garbage.err));
    }

    // A dump goes into a new, empty database (it brings its tables, and
    // nothing is kept aside), but not as a role that may not restore.
    void restoresIntoAnEmptyDatabase() {
        TestDatabase t;
        execSql("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES ('P1', 'x', 0)");
        const QString schema = TestRuns::rows("SELECT current_schema()").value(0);
        DBClose();
        QVERIFY(TestRuns::admin({"backup", t.path(), t.dirPath()}).exitCode == 0);
        const QString dump = AutoBackup::backupsIn(t.dirPath()).value(0);
        const QString database = "new_" + schema;
        const QString server = qEnvironmentVariable("TARVEL_TEST_PG_DSN");
        const auto onNew = [&](const QStringList& statements) {
            QSqlDatabase admin = PgConnection::open(
                "new",
                server.section(" dbname=", 0, 0) + " dbname=" +
                    (statements.first().startsWith("CREATE DATABASE") ? "postgres" : database));
            for (const QString& sql : statements)
                execSql(admin, sql);
            SqlQuery::releaseStatements(admin);
            admin.close();
            admin = QSqlDatabase();
            QSqlDatabase::removeDatabase("new");
        };
        onNew({"CREATE DATABASE " + database});
        onNew({"CREATE SCHEMA " + schema, "CREATE ROLE r_" + schema + " LOGIN",
               "GRANT USAGE ON SCHEMA " + schema + " TO r_" + schema});
        const QString target = server.section(" dbname=", 0, 0) + " dbname=" + database +
                               " options='-c search_path=" + schema + "'";
        const QStringList cases[] = {
            {" user=r_" + schema, "1", "pg_restore に必要な権限がありません"},
            {"", "0", "復元しました: "}};
        for (const QStringList& c : cases) {
            const TestRuns::AdminRun r = TestRuns::admin({"restore", dump, target + c[0]});
            QVERIFY2(QString::number(r.exitCode) == c[1] && (r.out + r.err).contains(c[2]) &&
                         !r.out.contains("元のファイル"),
                     qPrintable(r.out + r.err));
        }
        QVERIFY(!QFile::exists(dump + ".before-restore"));
        openDatabase(target);
        QCOMPARE(drawings(), 1);
        DBClose();
    }

    // pg_dump cut off from the server halfway: the lost connection is
    // named first, not only the tool that met it, and nothing is left.
    void aDumpCutOffNamesTheLostConnection() {
        TestDatabase t;
        execSql("CREATE TABLE blocker (a integer)");
        // Another session holds a table the dump must lock, and ends the
        // dump's session as soon as it waits there.
        QThread* holder = QThread::create([&] {
            {
                QSqlDatabase db = PgConnection::open("holder", t.path());
                try {
                    execSql(db, "DO $$ BEGIN LOCK TABLE blocker IN ACCESS EXCLUSIVE MODE;"
                                " FOR i IN 1..600 LOOP PERFORM pg_stat_clear_snapshot();"
                                " PERFORM pg_terminate_backend(pid) FROM pg_stat_activity WHERE"
                                " wait_event_type = 'Lock' AND query LIKE 'LOCK TABLE %blocker%'"
                                " AND query LIKE '%' || current_schema() || '%'; EXIT WHEN FOUND;"
                                " PERFORM pg_sleep(0.05); END LOOP; END $$");
                } catch (const AppError&) {
                }
                SqlQuery::releaseStatements(db);
                db.close();
            }
            QSqlDatabase::removeDatabase("holder");
        });
        holder->start();
        while (TestRuns::rows("SELECT 1 FROM pg_locks WHERE granted AND relation = "
                              "'blocker'::regclass AND mode = 'AccessExclusiveLock'")
                   .isEmpty())
            QThread::msleep(20);
        const QString folder = t.dirPath() + "/saved";
        const QString cut = TestRuns::errorOf([&] {
            AutoBackup::take(t.path(), {folder, 100}, QDateTime::currentDateTime());
        });
        holder->wait();
        delete holder;
        QVERIFY2(cut.startsWith(PgConnection::lostText()), qPrintable(cut));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
    }

    // Two runs started in the same second on other home-workers: the
    // second waits for the first or goes on, each with a whole backup of
    // its own, and neither fails.
    void runsStartedInOneSecondEachBackUp() {
        TestDatabase t;
        for (const char* sql :
             {"INSERT INTO syain_m (社員コード, 削除フラグ) VALUES ('E001', 0)",
              "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード, 単価, "
              "適用開始日, 削除フラグ) VALUES (1, 'P', 'W', 'N01', 10, '2004-01-01', 0),"
              " (2, 'P', 'W', 'N02', 30, '2004-01-01', 0)",
              "INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード, 精算単価, "
              "納入数量, 依頼日, 納入日, 削除フラグ) VALUES ('S1', 'P', 'W', 'N01', 0, 3,"
              " '2004-04-01', '2004-04-10', 0), ('S2', 'P', 'W', 'N02', 0, 1, '2004-04-01',"
              " '2004-04-30', 0)"})
            execSql(sql);
        DBClose();
        const QString folder = t.dirPath() + "/saved";
        QProcess runs[2];
        while (QTime::currentTime().msec() > 100)
            QThread::msleep(5);
        for (int i = 0; i < 2; ++i)
            runs[i].start(TARVEL_ADMIN_PATH,
                          {"settle", t.path(), "20040401", "20040430", "--employee", "E001",
                           "--workers", QString("N0%1:N0%1").arg(i + 1), "--backup-folder",
                           folder});
        for (QProcess& run : runs) { // exit 0: its home-worker is settled
            QVERIFY(run.waitForFinished(60000));
            QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());
        }
        QCOMPARE(AutoBackup::backupsIn(folder).size(), 2);
        QCOMPARE(QDir(folder).entryList({"*.part*"}, QDir::Files), QStringList());
    }

    void init() { MessageBox::setTestMode(true); }
};

int main(int argc, char** argv) {
    if (int code = 0; WriterCopies::runIfCopy(writeDrawings, code))
        return code;
    QApplication app(argc, argv);
    TestServerDump test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_serverdump.moc"
