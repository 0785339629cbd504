#include "core/apperror.h"
#include "core/database.h"
#include "core/ini.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QStringEncoder>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <grp.h>
#include <unistd.h>

namespace {
// Run as a child process: commits one row, leaves a second one in an open
// transaction, says so, then waits to be killed.
int writeThenWaitForKill(const QString& path) {
    DBOpenPath(path);
    execSql(QStringLiteral("INSERT INTO zuban_m (製品図番, 削除フラグ) VALUES ('KEPT', 0)"));
    SqlTransaction tx;
    execSql(QStringLiteral("INSERT INTO zuban_m (製品図番, 削除フラグ) VALUES ('LOST', 0)"));
    std::puts("written");
    std::fflush(stdout);
    QThread::sleep(60);
    return 1;
}

QString openErrorFor(const QString& path) {
    try {
        DBOpenPath(path);
    } catch (const DbError& e) {
        return e.text();
    }
    return QString();
}

// The open error in a child process that runs as an ordinary user (root
// may write anywhere).
QString openErrorAsUser(const QString& path) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TARVEL_OPEN_ERROR_OF"), path);
    child.setProcessEnvironment(env);
    child.setChildProcessModifier([] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) || ::setgid(65534) || ::setuid(65534)))
            ::_exit(3);
    });
    child.start(QCoreApplication::applicationFilePath(), {});
    child.waitForFinished(30000);
    return QString::fromUtf8(child.readAllStandardOutput());
}
} // namespace

class TestDatabaseSession : public QObject {
    Q_OBJECT
  private slots:
    void openFailuresNameTheProblemAndThePath() {
        TestDatabase t;
        const QString missing = t.dirPath() + QStringLiteral("/nothing.sqlite");
        QString text = openErrorFor(missing);
        QVERIFY(text.contains(QStringLiteral("見つかりません")));
        QVERIFY(text.contains(missing));
        QVERIFY(!QFile::exists(missing)); // never created
        QVERIFY(!DBIsOpen());

        const QString junk = t.dirPath() + QStringLiteral("/junk.sqlite");
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        text = openErrorFor(junk);
        QVERIFY2(text.contains(QStringLiteral("データベースファイルではありません")),
                 qPrintable(text));
        QVERIFY(text.contains(junk));

        const QString partial = t.dirPath() + QStringLiteral("/partial.sqlite");
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("p"));
            db.setDatabaseName(partial);
            QVERIFY(db.open());
            execSql(db, QStringLiteral("CREATE TABLE syain_m (社員コード TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("p"));
        text = openErrorFor(partial);
        QVERIFY(text.contains(QStringLiteral("seisan_t")));
        QVERIFY(!text.contains(QStringLiteral("syain_m")));

        t.writeIni(QStringLiteral("[User]\nName=x\n"));
        try {
            DBOpen();
            QFAIL("open without a DSN succeeded");
        } catch (const DbError& e) {
            QVERIFY(e.text().contains(QStringLiteral("DSN")));
        }
        // Without TVL.INI: the file is missing, in the folder that was searched.
        QFile::remove(t.dirPath() + QStringLiteral("/TVL.INI"));
        try {
            DBOpen();
            QFAIL("open without TVL.INI succeeded");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("TVL.INI が見つかりません")),
                     qPrintable(e.text()));
            QVERIFY(e.text().contains(QDir::currentPath()));
        }
        // With nothing open, statements fail with an error instead of crashing.
        QVERIFY_THROWS_EXCEPTION(DbError, SqlQuery(QStringLiteral("SELECT 1")).exec());
    }

    void heldOrUnwritableDatabaseIsNamedSo() {
        TestDatabase t;
        DBClose();
        // Another program holds a rollback-journal database in a transaction.
        const QString held = t.dirPath() + QStringLiteral("/held.sqlite");
        Schema::createFile(held);
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "other");
            other.setDatabaseName(held);
            QVERIFY(other.open());
            execSql(other, QStringLiteral("PRAGMA journal_mode = DELETE"));
            execSql(other, QStringLiteral("BEGIN EXCLUSIVE"));
            const QString text = openErrorFor(held);
            QVERIFY2(text.contains(QStringLiteral("使用中")) &&
                         !text.contains(QStringLiteral("ではありません")),
                     qPrintable(text));
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));

        // A write-ahead-log database in a folder that may not be written.
        const QString folder = t.dirPath() + QStringLiteral("/readonly");
        const QString path = folder + QStringLiteral("/tarvel.sqlite");
        QVERIFY(QDir().mkdir(folder));
        Schema::createFile(path);
        DBOpenPath(path);
        DBClose();
        const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                              QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        QFile::setPermissions(t.dirPath(), readable | QFile::WriteOwner);
        QFile::setPermissions(path,
                              readable | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
        QFile::setPermissions(folder, readable);
        const QString text = openErrorAsUser(path);
        QFile::setPermissions(folder, readable | QFile::WriteOwner);
        QVERIFY2(text.contains(QStringLiteral("書き込む権限がありません")) && text.contains(path),
                 qPrintable(text));
    }

    void sharedFolderGetsTheRollbackJournal() {
        TestDatabase t;
        const auto journalMode = [] {
            SqlQuery q(QStringLiteral("PRAGMA journal_mode"));
            q.exec();
            return q.next() ? q.str(QStringLiteral("journal_mode")) : QString();
        };
        setNetworkFileSystemCheck([](const QString&) { return true; });
        DBOpenPath(t.path());
        QCOMPARE(journalMode(), QStringLiteral("delete"));
        QVERIFY(takeDatabaseWarning().contains(t.path()));
        setNetworkFileSystemCheck(nullptr);
        DBOpenPath(t.path());
        QCOMPARE(journalMode(), QStringLiteral("wal"));
        QVERIFY(takeDatabaseWarning().isEmpty());
    }

    void boundValuesAreStoredExactlyAndReadAfterReopening() {
        TestDatabase t;
        const QStringList awkward = {
            QStringLiteral("O'Neil"), QStringLiteral("'); DROP TABLE zuban_m; --"),
            QStringLiteral("100% \"引用\" _x_"), QStringLiteral("　全角　")};
        int n = 0;
        for (const QString& name : awkward)
            execSql(QStringLiteral(
                        "INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, 0)"),
                    {QString::number(++n), name});
        DBClose();
        QVERIFY(!DBIsOpen());
        t.writeIni(QStringLiteral("[access]\n dsn = %1 \n").arg(t.path()));
        DBOpen();
        SqlQuery q(QStringLiteral("SELECT 図番名称, 備考 FROM zuban_m ORDER BY 製品図番"));
        q.exec();
        QStringList back;
        while (q.next()) {
            back << q.str(QStringLiteral("図番名称"));
            QCOMPARE(FieldStr(q, QStringLiteral("備考")), QString()); // Null reads ""
        }
        QCOMPARE(back, awkward);
    }

    void transactionsRollBackUnlessCommitted() {
        TestDatabase t;
        const auto insert = [](const char* code) {
            execSql(QStringLiteral("INSERT INTO sagyou_m (作業コード, 削除フラグ) VALUES (?, 0)"),
                    {QString::fromUtf8(code)});
        };
        {
            SqlTransaction tx;
            insert("A");
        }
        try {
            SqlTransaction tx;
            insert("B");
            insert("B");
            tx.commit();
        } catch (const DbError&) {
        }
        {
            SqlTransaction tx;
            insert("C");
            tx.commit();
        }
        SqlQuery q(QStringLiteral("SELECT 作業コード FROM sagyou_m"));
        q.exec();
        QStringList codes;
        while (q.next())
            codes << q.str(QStringLiteral("作業コード"));
        QCOMPARE(codes, QStringList{QStringLiteral("C")});
    }

    void committedRowsSurviveAKilledProcess() {
        TestDatabase t;
        DBClose();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TARVEL_KILLED_WRITER"), t.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(20000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("written"));
        child.kill();
        QVERIFY(child.waitForFinished());

        DBOpenPath(t.path());
        SqlQuery q(QStringLiteral("SELECT 製品図番 FROM zuban_m"));
        q.exec();
        QStringList codes;
        while (q.next())
            codes << q.str(QStringLiteral("製品図番"));
        QCOMPARE(codes, QStringList{QStringLiteral("KEPT")});
        // The next writer is not held up by the dead process's transaction.
        execSql(QStringLiteral("INSERT INTO zuban_m (製品図番, 削除フラグ) VALUES ('NEXT', 0)"));
    }

    void schemaCheckNamesAMissingColumn() {
        TestDatabase t;
        QVERIFY(Schema::check(gCon()).isEmpty());
        execSql(QStringLiteral("ALTER TABLE seihin_t DROP COLUMN 管理ロットNo"));
        const QStringList problems = Schema::check(gCon());
        QCOMPARE(problems.size(), 1);
        QVERIFY(problems.first().contains(QStringLiteral("seihin_t.管理ロットNo")));
    }

    void olderFileIsUpgradedOnceWhenOpened() {
        TestDatabase t;
        DBClose();
        {
            // The file as the program made it before the home-worker's sex
            // and workplace were kept.
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old");
            db.setDatabaseName(t.path());
            QVERIFY(db.open());
            execSql(db, QStringLiteral("ALTER TABLE naishoku_m DROP COLUMN 性別"));
            execSql(db, QStringLiteral("ALTER TABLE naishoku_m DROP COLUMN 作業場所在地"));
            execSql(db, QStringLiteral("PRAGMA user_version = 1"));
            execSql(db,
                    QStringLiteral(
                        "INSERT INTO naishoku_m (内職者コード, 内職者氏名) VALUES ('N1', '山田')"));
            QCOMPARE(Schema::check(db).size(), 3);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old"));
        for (int opening = 0; opening < 2; ++opening) { // the second finds nothing to do
            DBOpenPath(t.path());
            QCOMPARE(Schema::check(gCon()), QStringList());
            QCOMPARE(Schema::upgrade(gCon()), 0);
            SqlQuery q(QStringLiteral("SELECT 内職者氏名, 性別 FROM naishoku_m"));
            q.exec();
            QVERIFY(q.next() && q.str("内職者氏名") == QStringLiteral("山田") && q.isNull("性別"));
            execSql(QStringLiteral("UPDATE naishoku_m SET 作業場所在地 = '川崎市'"));
            DBClose();
        }
    }

    void iniReaderFollowsTheProfileRules() {
        TestDatabase t;
        t.writeIni(QStringLiteral("; comment\n[ Access ]\n  DSN =  first.db  \nDSN=second.db\n"
                                  "[access]\nUID=9\n[User]\nName=株式会社テスト\nLong=%1\n")
                       .arg(QString(300, QLatin1Char('a'))));
        QCOMPARE(IniRead(QStringLiteral("ACCESS"), QStringLiteral("dsn")),
                 QStringLiteral("first.db"));
        // A second section of the same name is not searched once the first matched the key.
        QCOMPARE(IniRead(QStringLiteral("Access"), QStringLiteral("UID")), QStringLiteral("9"));
        QCOMPARE(IniRead(QStringLiteral("User"), QStringLiteral("Name")),
                 QStringLiteral("株式会社テスト"));
        QCOMPARE(IniRead(QStringLiteral("User"), QStringLiteral("Long")).size(), 255);
        QCOMPARE(IniRead(QStringLiteral("User"), QStringLiteral("Missing")), QString());
        QCOMPARE(IniRead(QStringLiteral("Nothing"), QStringLiteral("Name")), QString());

        // A file saved on a Japanese Windows machine, in Shift-JIS.
        QStringEncoder sjis("Shift_JIS");
        QVERIFY(sjis.isValid());
        QFile f(t.dirPath() + QStringLiteral("/TVL.INI"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(sjis.encode(QStringLiteral("[User]\r\nName=有限会社　内職\r\n")));
        f.close();
        QCOMPARE(IniRead(QStringLiteral("User"), QStringLiteral("Name")),
                 QStringLiteral("有限会社　内職"));
        // Short Shift-JIS is often valid UTF-8 (ﾐｷ is D0 B7); without kana or
        // kanji in its UTF-8 reading, only a byte order mark makes it UTF-8.
        const std::pair<QByteArray, QString> files[] = {
            {sjis.encode(QStringLiteral("[User]\nName=ﾐｷ\n")), QStringLiteral("ﾐｷ")},
            {"\xEF\xBB\xBF[User]\nName=Caf\xC3\xA9\n", QStringLiteral("Café")}};
        for (const auto& [bytes, name] : files) {
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
            f.close();
            QCOMPARE(IniRead(QStringLiteral("User"), QStringLiteral("Name")), name);
        }
        QFile::remove(t.dirPath() + QStringLiteral("/TVL.INI"));
        QCOMPARE(IniRead(QStringLiteral("User"), QStringLiteral("Name")), QString());
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
