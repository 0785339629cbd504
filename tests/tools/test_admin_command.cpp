#include "core/database.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestRuns;

class TestAdminCommand : public QObject {
    Q_OBJECT
  private slots:
    // The manual page and --help name the same commands.
    void helpAndManualAgree() {
        const auto commands = [](const QString& text, const char* pattern) {
            QStringList found;
            const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
            for (auto it = re.globalMatch(text); it.hasNext();)
                found << it.next().captured(1);
            found.sort();
            return found;
        };
        const QStringList help = commands(admin({"--help"}).out, R"(^  ([a-z]+) )");
        QVERIFY(help.contains("import"));
        QCOMPARE(
            commands(QString::fromUtf8(fileBytes(TARVEL_MAN_PAGE)), "^\\.BI? \"?([a-z]+)[ \"]"),
            help);
    }

    void createAndDemoNeverOverwrite() {
        QTemporaryDir dir;
        const QString empty = dir.filePath("empty.sqlite");
        QCOMPARE(admin({"create", empty}).exitCode, 0);
        const QByteArray created = fileBytes(empty);
        QCOMPARE(created.mid(18, 2),
                 QByteArray("\x02\x02")); // write-ahead log, as the program opens it

        const AdminRun again = admin({"create", empty});
        QVERIFY(again.exitCode == 1 && again.err.contains(empty));
        QCOMPARE(fileBytes(empty), created);

        // Someone's file that merely has the chosen name is left as it was.
        const QString other = dir.filePath("notes.txt");
        QVERIFY(writeBytes(other, "keep me"));
        QCOMPARE(admin({"demo", other}).exitCode, 1);
        QCOMPARE(fileBytes(other), QByteArray("keep me"));

        const QString demo = dir.filePath("demo.sqlite");
        QCOMPARE(admin({"demo", demo}).exitCode, 0);
        QCOMPARE(admin({"check", demo}).exitCode, 0);
        // The demo's ledger as a PDF; without --pdf the command line is wrong.
        const QString pdf = dir.filePath("ledger.pdf");
        const AdminRun ledger =
            admin({"ledger", demo, "2000-01-01", "2100-12-31", "--workers", ":", "--pdf", pdf});
        QVERIFY2(ledger.exitCode == 0 && fileBytes(pdf).startsWith("%PDF"), qPrintable(ledger.err));
        QCOMPARE(admin({"ledger", demo, "2000-01-01", "2100-12-31"}).exitCode, 2);

        // A folder that does not exist: refused, nothing created.
        const QString nowhere = dir.filePath("missing/tarvel.sqlite");
        QCOMPARE(admin({"create", nowhere}).exitCode, 1);
        QVERIFY(!QFile::exists(nowhere));
    }

    void checkReportsWhatIsMissing() {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.sqlite");
        QCOMPARE(admin({"create", path}).exitCode, 0);
        execOn(
            path,
            {"DROP TABLE seisan_t", "ALTER TABLE seihin_t DROP COLUMN 管理ロットNo",
             "INSERT INTO syain_m (社員コード, パスワード, 削除フラグ) VALUES ('007', 'abc', 0)"});
        const QByteArray damaged = fileBytes(path);
        const AdminRun r = admin({"check", path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("seisan_t"), qPrintable(r.err));
        QVERIFY2(r.err.contains("管理ロットNo"), qPrintable(r.err));
        QVERIFY2(r.err.contains("暗号化されていない社員があります: 007"), qPrintable(r.err));
        QCOMPARE(fileBytes(path), damaged);

        // A missing file or a text file is no database, and checking never
        // makes a file appear.
        const QString missing = dir.filePath("none.sqlite");
        QCOMPARE(admin({"check", missing}).exitCode, 1);
        QVERIFY(!QFile::exists(missing));
        const QString text = dir.filePath("text.sqlite");
        QVERIFY(writeBytes(text, "this is not a database, just some text long enough to matter\n"));
        const AdminRun notDb = admin({"check", text});
        QVERIFY2(notDb.exitCode == 1 && notDb.err.contains("データベースファイルではありません") &&
                     notDb.err.contains(text),
                 qPrintable(notDb.err));

        // A file that may be read but not written (immutable even for root,
        // where the file system allows the mark).
        if (QProcess::execute("chattr", {"+i", path}) == 0) {
            const AdminRun locked = admin({"check", path});
            QProcess::execute("chattr", {"-i", path});
            QCOMPARE(locked.exitCode, 1);
            QVERIFY2(locked.err.contains("データベースファイルに書き込めません"),
                     qPrintable(locked.err));
        }
    }

    // Codes that only the width of their characters tells apart are listed
    // with every place that uses each spelling, and left as they are.
    void checkListsCodesThatDifferOnlyInWidth() {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.sqlite");
        QCOMPARE(admin({"create", path}).exitCode, 0);
        execOn(
            path,
            {"INSERT INTO naishoku_m (内職者コード, 削除フラグ) VALUES ('0001', 0), ('０００１', "
             "0), ('0002', 0)",
             "INSERT INTO zuban_m (製品図番, 削除フラグ) VALUES ('AB-1', 0), ('ＡＢ－１', 1), "
             "('ab-1', 0)",
             "INSERT INTO sagyou_m (作業コード, 削除フラグ) VALUES ('W1', 0)",
             "INSERT INTO syain_m (社員コード, 削除フラグ) VALUES ('001', 0), ('００１', 0)",
             "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード) VALUES "
             "(1, 'AB-1', 'W1', '0001'), (2, 'AB-1', 'Ｗ１', '０００２')",
             "INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード) VALUES "
             "('S1', 'AB-1', 'W1', '0001'), ('S2', 'AB－1', 'W1', '０００１'), "
             "('S3', 'AB-1', 'W1', '０００１')",
             "INSERT INTO seisan_t (精算日時, 内職者コード) VALUES ('2004-05-01 10:00:00', "
             "'０００１')"});
        const QByteArray before = fileBytes(path);
        const AdminRun r = admin({"check", path});
        QCOMPARE(r.exitCode, 1);
        const QString d = goldenDifference("code-widths.txt", QString(r.err).replace(path, "@"));
        QVERIFY2(d.isEmpty(), qPrintable(d));
        QCOMPARE(fileBytes(path), before);
    }

    void settlesTriesAndCancelsForScripts() {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.sqlite");
        QCOMPARE(admin({"create", path}).exitCode, 0);
        execOn(path,
               {"INSERT INTO syain_m (社員コード, 削除フラグ) VALUES ('E001', 0), ('E009', 1)",
                "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード, 単価, "
                "適用開始日,"
                " 削除フラグ) VALUES (1, 'P', 'W', 'N01', 10, '2004-01-01', 0),"
                " (2, 'P', 'W', 'N02', 30, '2004-01-01', 0)",
                "INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード, 精算単価, "
                "納入数量,"
                " 依頼日, 納入日, 削除フラグ) VALUES ('S1', 'P', 'W', 'N01', 0, 3, '2004-04-01',"
                " '2004-04-10', 0), ('S2', 'P', 'W', 'N02', 0, 1, '2004-04-01', '2004-04-30', 0),"
                " ('S3', 'P', 'W', 'N03', 77.7, 2, '2004-04-01', '2004-04-20', 0)"});

        // Each run in turn: its exit code, stdout (a run's time numbered, so
        // that a cancel names the settlement it undoes), stderr up to the usage
        // and whether the file changed.
        QStringList times;
        const QString d = goldenCases("runs.txt", [&](const QStringList& f) {
            QStringList args = f[0] == "-" ? QStringList() : f[0].split(' ');
            for (QString& arg : args)
                arg = arg == "@" ? path : arg == "~" ? QString() : arg.replace("%dir%", dir.path());
            const QByteArray before = fileBytes(path);
            const AdminRun r = admin(args);
            QStringList out = r.out.split('\n', Qt::SkipEmptyParts);
            for (QString& line : out) {
                if (QRegularExpression(R"(^T\t\d{4}/\d\d/\d\d \d\d:\d\d:\d\d$)")
                        .match(line)
                        .hasMatch() &&
                    !times.contains(line))
                    times << line;
                line = times.contains(line)
                           ? QStringLiteral("T <time %1>").arg(times.indexOf(line) + 1)
                           : line.replace('\t', ' ');
            }
            return QStringList{QString::number(r.exitCode), out.join(" / "),
                               r.err.section("\n\n", 0, 0)
                                   .trimmed()
                                   .replace('\n', " / ")
                                   .replace(path, "@")
                                   .replace(dir.path(), "%dir%"),
                               fileBytes(path) == before ? "kept" : "written"}
                .join(" | ");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void migratesAFileToAnEmptyServerDatabase() {
        if (!TestDatabase::onServer())
            QSKIP("needs a PostgreSQL server: test_admin_command_pg");
        QTemporaryDir dir;
        const QString demo = dir.filePath("demo.sqlite");
        QCOMPARE(admin({"demo", demo}).exitCode, 0);
        TestDatabase target; // a schema of its own with empty tables
        DBClose();
        const AdminRun moved = admin({"migrate", demo, target.path()});
        QVERIFY2(moved.exitCode == 0, qPrintable(moved.out + moved.err));
        QVERIFY(!moved.out.contains("不一致"));
        const QRegularExpression slips("行数 seihin_t\\t([1-9][0-9]*)\\t\\1\\t一致");
        QVERIFY2(slips.match(moved.out).hasMatch(), qPrintable(moved.out));
        QVERIFY(moved.out.contains("精算 内職者コード N001"));
        QCOMPARE(admin({"check", target.path()}).exitCode, 0);

        const AdminRun again = admin({"migrate", demo, target.path()});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains("空ではありません"), qPrintable(again.err));
        QCOMPARE(admin({"create", target.path()}).exitCode, 1);
    }
};

QTEST_GUILESS_MAIN(TestAdminCommand)
#include "test_admin_command.moc"
