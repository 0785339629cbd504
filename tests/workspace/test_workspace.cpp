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
    void createdWorkspacesOpen() {
        // The database: a new one, ours, a foreign file, or a TVL.INI or
        // database file already in the folder; the refusal.
        const std::pair<QString, QString> cases[] = {
            {"new", ""},
            {"ours", ""},
            {"foreign", "データベースファイルが壊れています"},
            {"ini", "既に TVL.INI があります"},
            {"taken", "上書きはしません"}};
        for (const auto& [database, refusal] : cases) {
            TestDatabase existing;
            DBClose();
            QTemporaryDir folder;
            Workspace::Request r{folder.path(), Workspace::defaultDatabase(folder.path()), true,
                                 QStringLiteral("株式会社 テスト精工"), "pw9"};
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
                continue;
            }
            QDir::setCurrent(folder.path());
            QCOMPARE(IniRead("User", "Name"), r.company);
            QCOMPARE(IniRead("Access", "UID"), "0");
            DBOpen();
            QCOMPARE(LoginCheck(Workspace::kFirstEmployee), database == "new" ? 0 : 1);
            // The first employee logs in with the password asked for, only.
            QVERIFY(database != "new" || (loginPasswordMatches(Workspace::kFirstEmployee, "pw9") &&
                                          !loginPasswordMatches(Workspace::kFirstEmployee, "")));
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkspace)
#include "test_workspace.moc"
