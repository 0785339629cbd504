#include "app/frmlogin.h"
#include "app/frmmenu.h"
#include "core/database.h"
#include "core/login.h"
#include "core/screens/appsetup.h"
#include "core/screens/messagebox.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
// Clicks travel through the window, where a refused validation stops them.
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>
#include <QTimer>
#include <memory>

using GuiTest::shownTexts;
using GuiTest::takeShown;

namespace {

void addEmployee(const QString& code, const QVariant& password, int deleted = 0) {
    execSql("INSERT INTO syain_m (社員コード, 氏名, パスワード, 削除フラグ) VALUES (?, ?, ?, ?)",
            {code, "社員" + code, password, deleted});
}

// A login screen over a test database holding a few employees, shown and
// active, with the menu replaced by a counter.
struct LoginScreen {
    TestDatabase db;
    std::unique_ptr<FrmLogin> form;
    QLineEdit* code = nullptr;
    QLineEdit* password = nullptr;
    QPushButton* login = nullptr;
    int menusShown = 0;
    bool active = false;

    LoginScreen() {
        db.writeIni(QStringLiteral("[Access]\nDSN=%1\nUID=0\n").arg(db.path()));
        addEmployee("E001", "pw1");
        addEmployee("E002", "gone", 1);
        addEmployee(" E004", "lead");
        MessageBox::clearShown();
        DBClose(); // the screen opens it again once it is up
        form = std::make_unique<FrmLogin>();
        form->setMenuRunner([this] { ++menusShown; });
        code = GuiTest::box(form.get(), "txt_0");
        password = GuiTest::box(form.get(), "txt_1");
        login = GuiTest::child<QPushButton>(form.get(), "cmdLogin");
        active = GuiTest::showActive(form.get()) && QTest::qWaitFor([] { return DBIsOpen(); });
        code->setFocus();
    }

    // Types a code and leaves the box with Tab.
    void enterCode(const QString& text) {
        code->setFocus();
        code->selectAll();
        QTest::keyClicks(code, text);
        QTest::keyClick(code, Qt::Key_Tab);
    }
};

} // namespace

class TestLogin : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }

    void loginCheckKeepsTheLastEmployeeAndPasswordsIgnoreTrailingBlanks() {
        TestDatabase t;
        addEmployee("E001", "pw1");
        addEmployee("E003", QVariant()); // Null password
        QCOMPARE(LoginCheck("E001"), 0);
        QCOMPARE(LoginCheck("E001 "), 1); // the caller strips trailing blanks
        // A code that would widen a pasted-together statement finds nobody.
        QCOMPARE(LoginCheck("x' OR '1'='1"), 1);
        QCOMPARE(gEmpCode + gPassword, "E001pw1");
        QCOMPARE(LoginCheck("E003"), 0);
        QCOMPARE(gEmpCode + gPassword, "E003");

        QVERIFY(PasswordMatches("abc  ", "abc"));
        QVERIFY(!PasswordMatches(" abc", "abc"));
        QVERIFY(!PasswordMatches("ABC", "abc"));
        QVERIFY(!PasswordMatches(QString(), "abc"));
        QVERIFY(PasswordMatches("   ", QString()));
    }

    void leavingTheCodeChecksTheEmployee() {
        LoginScreen s;
        QVERIFY(s.code && s.password && s.login && s.active);
        QCOMPARE(GuiTest::unnamedFields(s.form.get()), QStringList());
        QVERIFY(gEmpCode.isEmpty()); // the load forgets any earlier login

        QTest::keyClick(s.code, Qt::Key_Tab);
        QCOMPARE(takeShown(), QStringList{"入力必須項目です。"});
        QVERIFY(s.code->hasFocus());
        for (const char* wrong : {"E999", "E002", "E004"}) {
            s.enterCode(wrong);
            QCOMPARE(takeShown(), QStringList{"社員コードの入力に誤りがあります。"});
            QVERIFY2(s.code->hasFocus(), wrong);
        }
        QVERIFY(gEmpCode.isEmpty());
        // A click on the button is refused too, and does not log in.
        QTest::mouseClick(s.login, Qt::LeftButton);
        QCOMPARE(takeShown(), QStringList{"社員コードの入力に誤りがあります。"});
        QCOMPARE(s.menusShown, 0);

        s.enterCode("E001  ");
        QVERIFY(takeShown().isEmpty());
        QVERIFY(s.password->hasFocus());
        QCOMPARE(gEmpCode, "E001");
        QTest::keyClick(s.password, Qt::Key_Escape); // ignored
        QVERIFY(s.form->isVisible());
        s.enterCode(" E004");
        QVERIFY(takeShown().isEmpty());
        QCOMPARE(gEmpCode, " E004");
    }

    void databaseErrorOnLeavingKeepsTheFocus() {
        LoginScreen s;
        execSql("ALTER TABLE syain_m RENAME TO syain_old");
        s.enterCode("E001");
        const QStringList texts = takeShown();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.first().contains("syain_m"), qPrintable(texts.first()));
        QVERIFY(s.code->hasFocus());
        QCOMPARE(s.menusShown, 0);
    }

    void passwordDecidesTheLogin() {
        LoginScreen s;
        s.enterCode("E001");
        QTest::keyClicks(s.password, "pw2");
        QTest::mouseClick(s.login, Qt::LeftButton);
        QCOMPARE(takeShown(), QStringList{"パスワードの入力に誤りがあります。"});
        QVERIFY(s.password->hasFocus());
        QCOMPARE(s.menusShown, 0);

        // The code box counts bytes: six full-width characters fill ten bytes.
        s.code->setFocus();
        s.code->selectAll();
        GuiTest::type("あいうえおか");
        QCOMPARE(s.code->text(), "あいうえお");
        s.enterCode("E001");
        s.password->selectAll();
        QTest::keyClicks(s.password, "pw1   x");
        QCOMPARE(s.password->text(), "pw1   "); // six bytes at most
        QTest::mouseClick(s.login, Qt::LeftButton);
        QVERIFY(shownTexts().isEmpty());
        QCOMPARE(s.menusShown, 1);
        QVERIFY(!s.form->isVisible()); // closing the menu ends at the login
    }

    void failedDatabaseOpenLeavesTheLoginOpen() {
        TestDatabase t;
        addEmployee("E001", QString());
        t.writeIni(QStringLiteral("[Access]\nDSN=%1/missing.sqlite\n").arg(t.dirPath()));
        MessageBox::clearShown();
        FrmLogin login;
        int menus = 0;
        login.setMenuRunner([&menus] { ++menus; });
        // Opening may wait for a busy database: not before the screen is up.
        QVERIFY(shownTexts().isEmpty());
        QVERIFY(GuiTest::showActive(&login));
        QTRY_COMPARE(shownTexts().size(), 1);
        QVERIFY2(shownTexts().first().contains("missing.sqlite"), qPrintable(shownTexts()[0]));
        QVERIFY(!DBIsOpen());

        // Without a connection the code check reports the failure and nobody logs in.
        MessageBox::clearShown();
        GuiTest::box(&login, "txt_0")->setText("E001");
        QTest::mouseClick(GuiTest::child<QPushButton>(&login, "cmdLogin"), Qt::LeftButton);
        QCOMPARE(shownTexts().size(), 1);
        QCOMPARE(menus, 0);
        QVERIFY(login.isVisible());
    }

    void sharedFolderIsWarnedOfOncePerRun() {
        setNetworkFileSystemCheck([](const QString&) { return true; });
        for (const bool first : {true, false}) {
            LoginScreen s;
            QVERIFY(s.active);
            QCOMPARE(shownTexts().size(), first ? 1 : 0);
            if (first)
                QVERIFY(shownTexts().first().contains("共有フォルダ"));
        }
        setNetworkFileSystemCheck(nullptr);
    }

    void loginShowsTheRealMenuAndItsCloseBoxEndsAtTheLogin() {
        LoginScreen s;
        int ends = 0;
        FrmMenu::setEndProgram([&ends] { ++ends; });
        s.form->setMenuRunner([] {
            FrmMenu menu;
            menu.exec();
        });
        s.enterCode("E001");
        QTest::keyClicks(s.password, "pw1");
        bool sawMenu = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                sawMenu = modal->objectName() == "frmMenu";
                closer.stop();
                modal->close();
            }
        });
        closer.start(10);
        QTest::mouseClick(s.login, Qt::LeftButton);
        QVERIFY(sawMenu);
        QVERIFY(!s.form->isVisible());
        QCOMPARE(ends, 0);
        QVERIFY(DBIsOpen()); // the close box does not close the connection
        FrmMenu::setEndProgram(nullptr);
    }
};

QTEST_MAIN(TestLogin)
#include "test_login.moc"
