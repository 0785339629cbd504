#include "core/sqlquery.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result admin(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TARVEL_ADMIN_PATH), args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

class TestAdminCommand : public QObject {
    Q_OBJECT

  private slots:
    void commandLine();
    void createAndDemoNeverOverwrite();
    void checkReportsWhatIsMissing();
};

void TestAdminCommand::commandLine() {
    const Result help = admin({"--help"});
    QCOMPARE(help.exitCode, 0);
    for (const char* word : {"create", "demo", "check"})
        QVERIFY(help.out.contains(QLatin1String(word)));

    for (const QStringList& wrong : QList<QStringList>{
             {}, {"remove", "x.sqlite"}, {"create"}, {"demo", "a.sqlite", "b.sqlite"}}) {
        const Result r = admin(wrong);
        QVERIFY2(r.exitCode == 2, qPrintable(wrong.join(' ')));
        QVERIFY(!r.err.isEmpty());
        QVERIFY(r.out.isEmpty());
    }
}

void TestAdminCommand::createAndDemoNeverOverwrite() {
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.sqlite");
    QCOMPARE(admin({"create", empty}).exitCode, 0);
    QCOMPARE(admin({"check", empty}).exitCode, 0);
    const QByteArray created = contents(empty);
    QVERIFY(!created.isEmpty());

    const Result again = admin({"create", empty});
    QCOMPARE(again.exitCode, 1);
    QVERIFY(again.err.contains(empty));
    QCOMPARE(contents(empty), created);

    // Someone's file that merely has the chosen name is left as it was.
    const QString other = dir.filePath("notes.txt");
    writeFile(other, "keep me");
    QCOMPARE(admin({"demo", other}).exitCode, 1);
    QCOMPARE(contents(other), QByteArray("keep me"));

    const QString demo = dir.filePath("demo.sqlite");
    const Result made = admin({"demo", demo});
    QCOMPARE(made.exitCode, 0);
    QVERIFY(made.out.contains("001"));
    QCOMPARE(admin({"check", demo}).exitCode, 0);

    // A folder that does not exist: refused, nothing created.
    const QString nowhere = dir.filePath("missing/tarvel.sqlite");
    QCOMPARE(admin({"create", nowhere}).exitCode, 1);
    QVERIFY(!QFile::exists(nowhere));
}

void TestAdminCommand::checkReportsWhatIsMissing() {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.sqlite");
    QCOMPARE(admin({"create", path}).exitCode, 0);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "damage");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        execSql(db, "DROP TABLE seisan_t");
        execSql(db, "ALTER TABLE seihin_t DROP COLUMN 管理ロットNo");
        db.close();
    }
    QSqlDatabase::removeDatabase("damage");
    const QByteArray damaged = contents(path);
    const Result r = admin({"check", path});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("seisan_t"), qPrintable(r.err));
    QVERIFY2(r.err.contains("管理ロットNo"), qPrintable(r.err));
    QCOMPARE(contents(path), damaged);

    // Neither a missing file nor a text file is taken for a database, and
    // checking never makes a file appear.
    const QString missing = dir.filePath("none.sqlite");
    QCOMPARE(admin({"check", missing}).exitCode, 1);
    QVERIFY(!QFile::exists(missing));
    const QString text = dir.filePath("text.sqlite");
    writeFile(text, "this is not a database, just some text long enough to matter\n");
    const Result notDb = admin({"check", text});
    QCOMPARE(notDb.exitCode, 1);
    QVERIFY(notDb.err.contains(text));
    QVERIFY2(notDb.err.contains("データベースファイルではありません"), qPrintable(notDb.err));

    // A database another program holds is in use, not damaged.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "holder");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        execSql(db, "PRAGMA journal_mode = DELETE");
        execSql(db, "BEGIN EXCLUSIVE");
        const Result held = admin({"check", path});
        execSql(db, "ROLLBACK");
        db.close();
        QCOMPARE(held.exitCode, 1);
        QVERIFY2(held.err.contains("使用中"), qPrintable(held.err));
        QVERIFY2(!held.err.contains("ではありません"), qPrintable(held.err));
    }
    QSqlDatabase::removeDatabase("holder");
}

QTEST_GUILESS_MAIN(TestAdminCommand)
#include "test_admin_command.moc"
