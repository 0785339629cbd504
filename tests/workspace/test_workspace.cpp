#include "core/apperror.h"
#include "core/database.h"
#include "core/ini.h"
#include "core/login.h"
#include "core/session.h"
#include "support/testdatabase.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestWorkspace : public QObject {
    Q_OBJECT
  private slots:
    // A new workspace opens like any other and its first employee logs in;
    // an existing database must be ours; nothing is ever overwritten.
    void createdWorkspacesOpen_data() {
        // the database ("new", "ours", "foreign", "ini", "taken"), the refusal
        QTest::addColumn<QStringList>("c");
        QTest::newRow("new") << QStringList{"new", ""};
        QTest::newRow("existing") << QStringList{"ours", ""};
        QTest::newRow("not ours") << QStringList{"foreign", "データベースファイルではありません"};
        QTest::newRow("INI there") << QStringList{"ini", "既に TVL.INI があります"};
        QTest::newRow("database there") << QStringList{"taken", "上書きはしません"};
    }
    void createdWorkspacesOpen() {
        QFETCH(QStringList, c);
        const QString &database = c[0], &refusal = c[1];
        TestDatabase existing;
        DBClose();
        QTemporaryDir folder;
        Workspace::Request r{folder.path(), Workspace::defaultDatabase(folder.path()), true,
                             QStringLiteral("株式会社 テスト精工")};
        if (database == "ours" || database == "foreign") {
            r.newDatabase = false;
            r.database = existing.path();
        }
        if (database == "foreign") {
            QFile f(r.database);
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray(4096, 'x'));
        }
        if (database == "ini")
            QFile(folder.filePath("TVL.INI")).open(QIODevice::WriteOnly);
        if (database == "taken")
            QFile(r.database).open(QIODevice::WriteOnly);
        try {
            Workspace::create(r);
            QVERIFY2(refusal.isEmpty(), "created");
        } catch (const AppError& e) {
            QVERIFY2(!refusal.isEmpty() && e.text().contains(refusal), qPrintable(e.text()));
            return;
        }
        QDir::setCurrent(folder.path());
        QCOMPARE(IniRead("User", "Name"), r.company);
        QCOMPARE(IniRead("Access", "UID"), "0");
        DBOpen();
        QCOMPARE(LoginCheck(Workspace::kFirstEmployee), database == "new" ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestWorkspace)
#include "test_workspace.moc"
