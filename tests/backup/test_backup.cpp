#include "admincommands.h"
#include "backup/autobackup.h"
#include "backup/databasecopy.h"
#include "backup/screens/backupbeforerun.h"
#include "core/apperror.h"
#include "core/database.h"
#include "core/screens/messagebox.h"
#include "core/sqlquery.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"
#include "support/writercopies.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <sys/file.h>

namespace {

const QString kStop = QStringLiteral("stop-writing");

void addDrawing(int i) {
    execSql(QStringLiteral("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, 0)"),
            {QStringLiteral("P%1").arg(i), QStringLiteral("図番%1").arg(i)});
}

qint64 drawings(const DatabaseCopy::RowCounts& rows) {
    return rows.value(QStringLiteral("zuban_m"));
}

// Copy 0 writes drawings until copy 1 has taken its backups into
// "backups" beside the database and says stop.
void writeOrBackUp(const QString& path, int index) {
    const QDir folder = QFileInfo(path).absoluteDir();
    if (index == 0) {
        openDatabase(path);
        for (int i = 0; i < 100000 && !folder.exists(kStop); ++i)
            addDrawing(i);
        DBClose();
    } else {
        AutoBackup::Settings s{folder.filePath(QStringLiteral("backups")), 100};
        while (DatabaseCopy::check(path).value(QStringLiteral("zuban_m")) < 10)
            QThread::msleep(5);
        for (int i = 0; i < 5; ++i)
            AutoBackup::take(path, s, QDateTime(QDate(2026, 12, 7), QTime(10, 0, i)));
        QFile(folder.filePath(kStop)).open(QIODevice::WriteOnly);
    }
    std::printf("0\n");
}

// tarvel-admin's exit code and what it said on either stream.
QString admin(const QStringList& args) {
    const TestRuns::AdminRun r = TestRuns::admin(args);
    return QString::number(r.exitCode) + " " + r.out + r.err;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
  private slots:
    void backupWhileAnotherCopyWritesRestoresWhole() {
        TestDatabase t;
        DBClose();
        for (const QString& report : WriterCopies::run(t.path(), 2))
            QCOMPARE(report, QStringLiteral("0"));
        const QStringList backups = AutoBackup::backupsIn(t.dirPath() + "/backups");
        QCOMPARE(backups.size(), 5);
        const qint64 final = drawings(DatabaseCopy::check(t.path()));
        for (const QString& b : backups) {
            const QString restored = t.dirPath() + "/restored.sqlite";
            const DatabaseCopy::RowCounts rows = DatabaseCopy::restore(b, restored).rows;
            QVERIFY(drawings(rows) >= 10 && drawings(rows) < final);
            QCOMPARE(DatabaseCopy::check(restored), rows);
            QCOMPARE(Admin::checkDatabase(restored), QStringList());
        }
    }

    // A backup is restored only when it is a database of ours and the
    // database is not open; the one it replaces is kept beside it.
    void restoreChecksTheBackupAndTheDatabase() {
        const std::tuple<const char*, bool, const char*> cases[] = {
            {"sound", false, ""},
            {"sound", true, "使用中"},
            {"garbage", false, "データベースファイルが壊れています"},
            {"foreign", false, "テーブルがありません: syain_m"}};
        for (const auto& [backup, stillOpen, refusal] : cases) {
            TestDatabase t;
            addDrawing(1);
            const QString b = DatabaseCopy::copyTo(t.path(), t.dirPath() + "/b.db").path;
            if (QString(backup) != "sound")
                TestRuns::writeBytes(b, QString(backup) == "garbage" ? QByteArray(4096, 'x')
                                                                     : QByteArray());
            if (QString(backup) == "foreign")
                TestRuns::execOn(b, {"CREATE TABLE t (a)"});
            addDrawing(2);
            if (!stillOpen)
                DBClose();
            const QString error = TestRuns::errorOf([&] { DatabaseCopy::restore(b, t.path()); });
            QVERIFY2(error.contains(*refusal ? refusal : "(no error)"), qPrintable(error));
            QCOMPARE(QFileInfo::exists(t.path() + ".before-restore"), !*refusal);
            if (!*refusal) {
                QCOMPARE(drawings(DatabaseCopy::check(t.path())), 1);
                QCOMPARE(drawings(DatabaseCopy::check(t.path() + ".before-restore")), 2);
            }
        }
    }

    void automaticBackupsAreKeptAndPruned() {
        TestDatabase t;
        t.writeIni("[Backup]\nFolder=saved\nKeep=2\n");
        QWidget parent;
        for (int i = 0; i < 3; ++i)
            QVERIFY(backupBeforeRun(&parent));
        const QStringList kept = AutoBackup::backupsIn(t.dirPath() + "/saved");
        QCOMPARE(kept, (QStringList{t.dirPath() + "/saved/tarvel-20260401-093001.db",
                                    t.dirPath() + "/saved/tarvel-20260401-093002.db"}));
        // A folder that cannot be made stops the run before it starts.
        t.writeIni("[Backup]\nFolder=TVL.INI/x\n");
        QVERIFY(!backupBeforeRun(&parent));
        QVERIFY(MessageBox::shown().last().text.startsWith("バックアップを作成できなかったため"));
    }

    void adminCommandsBackUpRestoreAndBackUpBeforeSettling() {
        TestDatabase t;
        addDrawing(1);
        execSql("INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES ('001', '山田', 0)");
        DBClose();
        const QString dir = t.dirPath();
        const QString missing = admin({"backup", t.path(), dir + "/missing"});
        QVERIFY2(missing.startsWith("1 ") && missing.contains("フォルダが存在しません"),
                 qPrintable(missing));
        const QString out = admin({"backup", t.path(), dir});
        QVERIFY2(out.startsWith("0 ") && out.contains("zuban_m\t1\n"), qPrintable(out));
        QVERIFY(admin({"restore", AutoBackup::backupsIn(dir).value(0), t.path()}).startsWith("0 "));
        QVERIFY(QFileInfo::exists(t.path() + ".before-restore"));
        // Nothing to settle (exit 3), but a backup first.
        const QStringList run = {t.path(), "20040401", "20040430", "--employee", "001"};
        for (const char* command : {"settle", "cancel"})
            QVERIFY(admin(QStringList{command} + run).startsWith("3 "));
        QCOMPARE(AutoBackup::backupsIn(dir + "/backup").size(), 2);
        QVERIFY(admin(QStringList{"cancel"} + run + QStringList{"--backup-folder", dir + "/b2"})
                    .startsWith("3 "));
        QCOMPARE(AutoBackup::backupsIn(dir + "/b2").size(), 1);
    }

    // Runs started in the same second each get a whole backup of their own;
    // what a killed run left is removed, a part still being written is not.
    void sameSecondRunsAndKilledRunsLeaveWholeBackups() {
        TestDatabase t;
        addDrawing(1);
        const QString folder = t.dirPath() + "/backup";
        QDir().mkpath(folder);
        const QString left = folder + "/tarvel-20260101-090000.db.1-dead.part";
        const QString going = folder + "/tarvel-20260101-090000.db.2-live.part";
        for (const QString& part : {left, left + "-journal", going})
            QVERIFY(TestRuns::writeBytes(part, "half"));
        QFile held(going);
        QVERIFY(held.open(QIODevice::ReadWrite) && flock(held.handle(), LOCK_EX) == 0);
        const QDateTime second(QDate(2026, 4, 1), QTime(9, 30, 0));
        QList<QThread*> runs;
        QStringList taken(4);
        for (int i = 0; i < 4; ++i)
            runs << QThread::create([&, i] {
                try {
                    taken[i] = AutoBackup::take(t.path(), {folder, 100}, second).path;
                } catch (const AppError& e) {
                    taken[i] = e.text();
                }
            });
        for (QThread* run : runs)
            run->start();
        for (QThread* run : runs) {
            run->wait();
            delete run;
        }
        std::sort(taken.begin(), taken.end());
        QCOMPARE(taken, AutoBackup::backupsIn(folder));
        for (const QString& b : taken)
            QCOMPARE(drawings(DatabaseCopy::check(b)), 1);
        QCOMPARE(QDir(folder).entryList({"*.part*"}, QDir::Files),
                 QStringList{QFileInfo(going).fileName()});
    }

    // Damage is named as damage by every command, the backups before a run
    // keep what TVL.INI or --keep says, and a restore names the file it
    // kept aside only when there was one.
    void faultsAreNamedAndBackupsKept() {
        const QString d = goldenCases("faults.txt", [&](const QStringList& f) {
            TestDatabase t;
            t.writeIni("[Backup]\nKeep=2\n");
            execSql("INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES ('001', '山田', 0)");
            for (int i = 0; i < 400; ++i)
                addDrawing(i);
            const qint64 page = TestRuns::rows("SELECT rootpage FROM sqlite_master"
                                               " WHERE name = 'zuban_m'")
                                    .value(0)
                                    .toLongLong();
            const qint64 pageSize = TestRuns::rows("PRAGMA page_size").value(0).toLongLong();
            DBClose();
            const QString dir = t.dirPath();
            QFile::copy(t.path(), dir + "/copy.sqlite");
            const QByteArray whole = TestRuns::fileBytes(t.path());
            TestRuns::writeBytes(dir + "/cut.sqlite", whole.left(whole.size() / 2));
            if (f[0] == "damaged") {
                QFile file(t.path());
                file.open(QIODevice::ReadWrite);
                file.seek((page - 1) * pageSize);
                file.write(QByteArray(pageSize, '\x5a'));
            }
            for (int run = 0; run < 3; ++run) // three earlier backups to prune
                AutoBackup::take(dir + "/copy.sqlite", {dir + "/backup", 100},
                                 QDateTime(QDate(2026, 1, 1), QTime(9, 0, run)));
            QStringList args = f[1].split(' ');
            for (QString& arg : args)
                arg = arg == "@" ? t.path() : arg.replace("%dir%", dir);
            const TestRuns::AdminRun r = TestRuns::admin(args);
            return QStringList{QString::number(r.exitCode),
                               (r.out + r.err)
                                   .section("\n\n", 0, 0)
                                   .trimmed()
                                   .replace(t.path(), "@")
                                   .replace(dir, "%dir%")
                                   .replace('\n', " / "),
                               QString::number(AutoBackup::backupsIn(dir + "/backup").size())}
                .join(" | ");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void init() { MessageBox::setTestMode(true); }
};

int main(int argc, char** argv) {
    if (int code = 0; WriterCopies::runIfCopy(writeOrBackUp, code))
        return code;
    QApplication app(argc, argv);
    TestBackup test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_backup.moc"
