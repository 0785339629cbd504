#include "core/apperror.h"
#include "core/bulkrows.h"
#include "core/database.h"
#include "core/ini.h"
#include "core/schema.h"
#include "core/sideconnection.h"
#include "core/sqldialect.h"
#include "core/sqlfailure.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Run as a child process: commits one row, leaves a second one in an open
// transaction, says so, then waits to be killed.
int writeThenWaitForKill(const QString& path) {
    openDatabase(path);
    execSql("INSERT INTO zuban_m (製品図番, 削除フラグ) VALUES ('KEPT', 0)");
    SqlTransaction tx;
    execSql("INSERT INTO zuban_m (製品図番, 削除フラグ) VALUES ('LOST', 0)");
    std::puts("written");
    std::fflush(stdout);
    QThread::sleep(60);
    return 1;
}

QString openErrorFor(const QString& path) {
    return TestRuns::errorOf([&] { openDatabase(path); });
}

// The open error in a child process that runs as an ordinary user (root
// may write anywhere).
QString openErrorAsUser(const QString& path) {
    QProcess child;
    child.setChildProcessModifier([] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) || ::setgid(65534) || ::setuid(65534)))
            ::_exit(3);
    });
    TestRuns::startCopy(child, {"TARVEL_OPEN_ERROR_OF=" + path});
    child.waitForFinished(30000);
    return QString::fromUtf8(child.readAllStandardOutput());
}
} // namespace

class TestDatabaseSession : public QObject {
    Q_OBJECT
  private slots:
    void openFailuresNameTheProblemAndThePath() {
        TestDatabase t;
        // A missing file (never created), one that is no database, one
        // without the tables: each named with its path.
        const QString dir = t.dirPath() + "/";
        QVERIFY(TestRuns::writeBytes(dir + "junk.sqlite", QByteArray(4096, 'x')));
        TestRuns::execOn(dir + "partial.sqlite", {"CREATE TABLE syain_m (社員コード TEXT)"});
        QVERIFY(TestRuns::writeBytes(dir + "pgpass", "*:*:*:*:secret\n"));
        QFile::setPermissions(dir + "pgpass",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        const QString d = goldenCases("openerrors.txt", [&](const QStringList& f) {
            if (f[0] == "file" || f[0] == "dsn")
                return openErrorFor(f[0] == "dsn" ? QString(f[1]).replace("<dir>/", dir)
                                                  : dir + f[1] + ".sqlite")
                    .replace(dir, "<dir>/")
                    .replace('\n', " ⏎ ");
            if (f[1] == "none")
                QFile::remove(dir + "TVL.INI");
            else
                t.writeIni(QString(f[1]).replace("\\n", "\n"));
            return TestRuns::errorOf(DBOpen)
                .replace(QDir::currentPath(), "<dir>")
                .replace('\n', " ⏎ ");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
        QVERIFY(!QFile::exists(dir + "nothing.sqlite"));
        QVERIFY(!databaseIsOpen());
        // With nothing open, statements fail with an error instead of crashing.
        QVERIFY_THROWS_EXCEPTION(DbError, SqlQuery("SELECT 1").exec());
    }

    void heldOrUnwritableDatabaseIsNamedSo() {
        TestDatabase t;
        DBClose();
        // Another program holds a rollback-journal database in a transaction.
        const QString held = t.dirPath() + "/held.sqlite";
        Schema::createFile(held);
        TestRuns::onSideConnection(held, [&](QSqlDatabase& other) {
            execSql(other, "PRAGMA journal_mode = DELETE");
            execSql(other, "BEGIN EXCLUSIVE");
            const QString text = openErrorFor(held);
            QVERIFY2(text.contains("使用中") && !text.contains("ではありません"), qPrintable(text));
        });

        // A write-ahead-log database in a folder that may not be written.
        const QString folder = t.dirPath() + "/readonly";
        const QString path = folder + "/tarvel.sqlite";
        QVERIFY(QDir().mkdir(folder));
        Schema::createFile(path);
        openDatabase(path);
        DBClose();
        // Others may write the file and the test's folder, not the file's folder.
        const auto mode = [](const QString& file, mode_t bits) {
            return ::chmod(QFile::encodeName(file).constData(), bits) == 0;
        };
        QVERIFY(mode(t.dirPath(), 0755) && mode(path, 0777) && mode(folder, 0555));
        const QString text = openErrorAsUser(path);
        QVERIFY(mode(folder, 0755));
        QVERIFY2(text.contains("書き込む権限がありません") && text.contains(path),
                 qPrintable(text));
    }

    void sharedFolderGetsTheRollbackJournal() {
        TestDatabase t;
        setNetworkFileSystemCheck([](const QString&) { return true; });
        openDatabase(t.path());
        QCOMPARE(TestRuns::rows("PRAGMA journal_mode"), QStringList{"delete"});
        QVERIFY(takeDatabaseWarning().contains(t.path()));
        setNetworkFileSystemCheck(nullptr);
        openDatabase(t.path());
        QCOMPARE(TestRuns::rows("PRAGMA journal_mode"), QStringList{"wal"});
        QVERIFY(takeDatabaseWarning().isEmpty());
    }

    void boundValuesAreStoredExactlyAndReadAfterReopening() {
        TestDatabase t;
        const QStringList awkward = {"O'Neil", "'); DROP TABLE zuban_m; --", "100% \"引用\" _x_",
                                     "　全角　"};
        int n = 0;
        for (const QString& name : awkward)
            execSql("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, 0)",
                    {QString::number(++n), name});
        DBClose();
        QVERIFY(!databaseIsOpen());
        t.writeIni(QStringLiteral("[access]\n dsn = %1 \n").arg(t.path()));
        DBOpen();
        QCOMPARE(TestRuns::rows("SELECT 図番名称 AS c FROM zuban_m ORDER BY 製品図番"), awkward);
        QCOMPARE(TestRuns::rows("SELECT 備考 AS c FROM zuban_m WHERE 製品図番 = '1'"),
                 QStringList{""});
    }

    void transactionsRollBackUnlessCommitted() {
        TestDatabase t;
        const auto insert = [](const char* code) {
            execSql("INSERT INTO sagyou_m (作業コード, 削除フラグ) VALUES (?, 0)",
                    {QString::fromUtf8(code)});
        };
        {
            SqlTransaction tx;
            insert("A");
        }
        TestRuns::errorOf([&] {
            SqlTransaction tx;
            insert("B");
            insert("B");
            tx.commit();
        });
        {
            SqlTransaction tx;
            insert("C");
            tx.commit();
        }
        QCOMPARE(TestRuns::rows("SELECT 作業コード AS c FROM sagyou_m"), QStringList{"C"});
    }

    void committedRowsSurviveAKilledProcess() {
        TestDatabase t;
        DBClose();
        QProcess child;
        TestRuns::startCopy(child, {"TARVEL_KILLED_WRITER=" + t.path()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(20000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("written"));
        child.kill();
        QVERIFY(child.waitForFinished());

        openDatabase(t.path());
        QCOMPARE(TestRuns::rows("SELECT 製品図番 AS c FROM zuban_m"), QStringList{"KEPT"});
        // The next writer is not held up by the dead process's transaction.
        execSql("INSERT INTO zuban_m (製品図番, 削除フラグ) VALUES ('NEXT', 0)");
    }

    void engineFailuresAreNamedInJapanese() {
        const QString d = goldenCases("enginefailures.txt", [](const QStringList& f) {
            const QString text =
                f[0].startsWith("SQLSTATE ")
                    ? describeServerFailure(f[0].mid(9), f[1])
                    : describeSqliteCode(f[0].toInt(), f[1], "/data/tarvel.sqlite");
            return '[' + QString(text).replace('\n', " ⏎ ") + ']';
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));

        TestDatabase t;
        const auto failure = [](const QString& sql) {
            return TestRuns::errorOf([&] { execSql(sql); });
        };
        execSql(QStringLiteral("ALTER TABLE seihin_t DROP COLUMN 納入数量"));
        const QString missing = failure(QStringLiteral("SELECT seihin_t.納入数量 FROM seihin_t"));
        QVERIFY2(missing.contains(QStringLiteral("列 seihin_t.納入数量 がありません")) &&
                     missing.contains(QStringLiteral("tarvel-admin check で確認して下さい")),
                 qPrintable(missing));
        execSql("PRAGMA max_page_count = " + TestRuns::rows("PRAGMA page_count").value(0));
        const QString full = failure(QStringLiteral(
            "WITH RECURSIVE n(v) AS (SELECT 1 UNION ALL SELECT v + 1 FROM n WHERE v < 100)"
            " INSERT INTO zuban_m (製品図番, 備考) SELECT 'P' || v, zeroblob(100000) FROM n"));
        QVERIFY2(full.startsWith(QStringLiteral("ディスクがいっぱいで")), qPrintable(full));
    }

    // On either engine: works beside the shared connection and leaves none
    // behind; a file opened to read refuses writes and is told from junk.
    void sideConnectionWorksBesideTheSharedOne() {
        TestDatabase t;
        const QStringList before = QSqlDatabase::connectionNames();
        {
            const SideConnection side(t.path(), SideConnection::Open::Write);
            QCOMPARE(isServerDatabase(side.db()), isServerDatabase(t.path()));
            side.requireDatabase();
            execSql(side.db(), "INSERT INTO zuban_m (製品図番, 削除フラグ) VALUES ('SIDE', 0)");
        }
        QCOMPARE(QSqlDatabase::connectionNames(), before);
        QCOMPARE(TestRuns::rows("SELECT 製品図番 AS c FROM zuban_m"), QStringList{"SIDE"});
        if (isServerDatabase(gCon()))
            return;
        const SideConnection reader(t.path(), SideConnection::Open::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(DbError, execSql(reader.db(), "DELETE FROM zuban_m"));
        QVERIFY(TestRuns::writeBytes(t.dirPath() + "/junk.sqlite", QByteArray(4096, 'x')));
        const SideConnection junk(t.dirPath() + "/junk.sqlite", SideConnection::Open::ReadOnly);
        QVERIFY_THROWS_EXCEPTION(NotADatabaseError, junk.requireDatabase());
    }

    void olderFileIsUpgradedOnceWhenOpened() {
        TestDatabase t;
        DBClose();
        // The file as the program made it before the home-worker's sex,
        // workplace and bank account were kept, and before the price index
        // held the serial and the price.
        TestRuns::execOn(t.path(),
                         {"DROP INDEX tanka_m_combination",
                          "CREATE INDEX tanka_m_combination ON tanka_m"
                          " (製品図番, 作業コード, 内職者コード, 適用開始日)",
                          "ALTER TABLE naishoku_m DROP COLUMN 性別",
                          "ALTER TABLE naishoku_m DROP COLUMN 作業場所在地",
                          "ALTER TABLE naishoku_m DROP COLUMN 支払方法",
                          "ALTER TABLE naishoku_m DROP COLUMN 銀行コード",
                          "ALTER TABLE naishoku_m DROP COLUMN 支店コード",
                          "ALTER TABLE naishoku_m DROP COLUMN 預金種目",
                          "ALTER TABLE naishoku_m DROP COLUMN 口座番号",
                          "ALTER TABLE naishoku_m DROP COLUMN 口座名義", "PRAGMA user_version = 1",
                          "INSERT INTO naishoku_m (内職者コード, 内職者氏名)"
                          " VALUES ('N1', '山田')"});
        TestRuns::onSideConnection(t.path(),
                                   [](QSqlDatabase& db) { QCOMPARE(Schema::check(db).size(), 9); });
        for (int opening = 0; opening < 2; ++opening) { // the second finds nothing to do
            openDatabase(t.path());
            QCOMPARE(Schema::check(gCon()), QStringList());
            QCOMPARE(Schema::upgrade(gCon()), 0);
            QCOMPARE(TestRuns::rows("SELECT 内職者氏名, 性別 IS NULL FROM naishoku_m"),
                     QStringList{"山田|1"});
            QCOMPARE(TestRuns::rows("SELECT instr(sql, '単価シリアル, 単価') > 0 FROM sqlite_master"
                                    " WHERE name = 'tanka_m_combination'"),
                     QStringList{"1"});
            execSql(QStringLiteral("UPDATE naishoku_m SET 作業場所在地 = '川崎市'"));
            DBClose();
        }
    }

    void iniReaderFollowsTheProfileRules() {
        TestDatabase t;
        t.writeIni(QStringLiteral("; comment\n[ Access ]\n  DSN =  first.db  \nDSN=second.db\n"
                                  "[access]\nUID=9\n[User]\nName=株式会社テスト\nLong=%1\n")
                       .arg(QString(300, QLatin1Char('a'))));
        const QString d = goldenCases("ini.txt", [](const QStringList& f) {
            const QString value = IniRead(f[0], f[1]);
            return value.size() > 9 && value == QString(value.size(), 'a')
                       ? QStringLiteral("a × %1").arg(value.size())
                       : '[' + value + ']';
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
        // Files saved on a Japanese Windows machine, in Shift-JIS. Short
        // Shift-JIS is often valid UTF-8 (ﾐｷ is D0 B7); without kana or kanji
        // in its UTF-8 reading, only a byte order mark makes it UTF-8.
        QStringEncoder sjis("Shift_JIS");
        const std::pair<QByteArray, QString> files[] = {
            {sjis.encode("[User]\r\nName=有限会社　内職\r\n"), "有限会社　内職"},
            {sjis.encode("[User]\nName=ﾐｷ\n"), "ﾐｷ"},
            {"\xEF\xBB\xBF[User]\nName=Caf\xC3\xA9\n", "Café"}};
        for (const auto& [bytes, name] : files) {
            QVERIFY(TestRuns::writeBytes(t.dirPath() + "/TVL.INI", bytes));
            QCOMPARE(IniRead("User", "Name"), name);
        }
        QFile::remove(t.dirPath() + "/TVL.INI");
        QCOMPARE(IniRead("User", "Name"), QString());
    }
    void preparedStatementRunsAgainWithNewValues() {
        TestDatabase db;
        SqlQuery insert("INSERT INTO sagyou_m (作業コード, 作業項目) VALUES (?, ?)");
        insert.bind("W1").bind("一").exec();
        insert.bind("W2").bind("二").exec();
        SqlQuery q(QStringLiteral(
            "SELECT 作業項目, 作業コード AS Code FROM sagyou_m WHERE 作業コード = ?"));
        q.bind("W2").exec();
        QVERIFY(q.next());
        QCOMPARE(q.str("作業項目"), "二");
        QCOMPARE(q.str("code"), "W2"); // any case
        QVERIFY_THROWS_EXCEPTION(DbError, q.str("備考"));
        q.bind("W1").exec();
        QVERIFY(q.next());
        QCOMPARE(q.str("作業項目"), "一");
        QVERIFY(!q.next());
    }

    void storedTextIsAlwaysValidUtf8() {
        TestDatabase db;
        const QString emoji = "😀";
        const QString name = QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b") + emoji +
                             QChar(0xDE00) + QStringLiteral("\u0301\uFE0F");
        execSql(QStringLiteral("INSERT INTO sagyou_m (作業コード, 作業項目) VALUES ('W1', ?)"),
                {name});
        SqlQuery q(EngineSql{"SELECT CAST(作業項目 AS BLOB) AS raw FROM sagyou_m",
                             "SELECT convert_to(作業項目, 'UTF8') AS raw FROM sagyou_m"});
        q.exec();
        QVERIFY(q.next());
        const QByteArray raw = q.value("raw").toByteArray();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString back = utf8.decode(raw);
        QVERIFY2(!utf8.hasError(), raw.toHex().constData());
        QCOMPARE(back, QStringLiteral("ab") + emoji + "\u0301\uFE0F");
    }

    void bulkRowsArriveAsSent() {
        TestDatabase db;
        // sent → read back; the row separators and escapes of a server's
        // COPY must not change a value.
        const QList<std::pair<QVariant, QString>> cases = {
            {QStringLiteral("a\tb\nc\rd"), QStringLiteral("a\tb\nc\rd")},
            {QStringLiteral("\\N"), QStringLiteral("\\N")},
            {QStringLiteral("C:\\x\\"), QStringLiteral("C:\\x\\")},
            {QVariant(QMetaType::fromType<QString>()), QStringLiteral("<null>")},
            {QStringLiteral("作業") + QChar(0xD83D), QStringLiteral("作業")},
        };
        QList<QVariantList> rows;
        for (qsizetype i = 0; i < cases.size(); ++i) {
            execSql(QStringLiteral("INSERT INTO sagyou_m (作業コード, 作業項目) VALUES (?, 'x')"),
                    {QStringLiteral("W%1").arg(i)});
            rows.append({QStringLiteral("W%1").arg(i), cases.at(i).first});
        }
        const QString update =
            QStringLiteral("UPDATE sagyou_m SET 作業項目 = v.column2 FROM (%1) AS v"
                           " WHERE sagyou_m.作業コード = v.column1");
        QCOMPARE(BulkRows({update, update}, {"TEXT, TEXT", "text, text"}, 2).run({}, rows),
                 cases.size());
        SqlQuery q(QStringLiteral("SELECT 作業項目 FROM sagyou_m ORDER BY 作業コード"));
        q.exec();
        for (const auto& [sent, back] : cases) {
            QVERIFY(q.next());
            QCOMPARE(q.isNull("作業項目") ? QStringLiteral("<null>") : q.str("作業項目"), back);
        }
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString writerPath = qEnvironmentVariable("TARVEL_KILLED_WRITER");
    if (!writerPath.isEmpty())
        return writeThenWaitForKill(writerPath);
    const QString openPath = qEnvironmentVariable("TARVEL_OPEN_ERROR_OF");
    if (!openPath.isEmpty()) {
        std::fputs(openErrorFor(openPath).toUtf8().constData(), stdout);
        return 0;
    }
    TestDatabaseSession test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_database.moc"
