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

namespace {

void addEmployee(const QString& code, const QVariant& password, int deleted = 0) {
    execSql(QStringLiteral("INSERT INTO syain_m (社員コード, 氏名, パスワード, 削除フラグ) "
                           "VALUES (?, ?, ?, ?)"),
            {code, QStringLiteral("社員") + code, password, deleted});
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

    explicit LoginScreen(bool withIni = true) {
        if (withIni)
            db.writeIni(QStringLiteral("[Access]\nDSN=%1\nUID=0\n").arg(db.path()));
        addEmployee(QStringLiteral("E001"), QStringLiteral("pw1"));
        addEmployee(QStringLiteral("E002"), QStringLiteral("gone"), 1);
        addEmployee(QStringLiteral("E003"), QVariant());
        addEmployee(QStringLiteral(" E004"), QStringLiteral("lead"));
        MessageBox::clearShown();
        DBClose(); // the screen opens it again once it is up
        form = std::make_unique<FrmLogin>();
        form->setMenuRunner([this] { ++menusShown; });
        code = form->findChild<QLineEdit*>(QStringLiteral("txt_0"));
        password = form->findChild<QLineEdit*>(QStringLiteral("txt_1"));
        login = form->findChild<QPushButton*>(QStringLiteral("cmdLogin"));
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
    void loginCheckKeepsTheLastEmployeeWhenNotFound() {
        TestDatabase t;
        addEmployee(QStringLiteral("E001"), QStringLiteral("pw1"));
        addEmployee(QStringLiteral("E003"), QVariant()); // Null password
        addEmployee(QStringLiteral("E005"), QStringLiteral(""));

        QCOMPARE(LoginCheck(QStringLiteral("E001")), 0);
        QCOMPARE(LoginCheck(QStringLiteral("E001 ")), 1); // the caller strips trailing blanks
        // A code that would widen a pasted-together statement finds nobody.
        QCOMPARE(LoginCheck(QStringLiteral("x' OR '1'='1")), 1);
        QCOMPARE(gEmpCode, QStringLiteral("E001"));
        QCOMPARE(gPassword, QStringLiteral("pw1"));

        QCOMPARE(LoginCheck(QStringLiteral("E003")), 0);
        QCOMPARE(gPassword, QString());
        QCOMPARE(LoginCheck(QStringLiteral("E001")), 0);
        QCOMPARE(LoginCheck(QStringLiteral("E005")), 0);
        QCOMPARE(gEmpCode, QStringLiteral("E005"));
        QCOMPARE(gPassword, QString());
    }

    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }

    void leavingTheCodeChecksTheEmployee() {
        LoginScreen s;
        QVERIFY(s.code && s.password && s.login && s.active);
        QVERIFY(s.code->hasFocus());
        QVERIFY(gEmpCode.isEmpty()); // the load forgets any earlier login

        QTest::keyClick(s.code, Qt::Key_Tab);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("入力必須項目です。")});
        QVERIFY(s.code->hasFocus());

        for (const QString& wrong :
             {QStringLiteral("E999"), QStringLiteral("E002"), QStringLiteral("E004")}) {
            MessageBox::clearShown();
            s.enterCode(wrong);
            QCOMPARE(shownTexts(),
                     QStringList{QStringLiteral("社員コードの入力に誤りがあります。")});
            QVERIFY2(s.code->hasFocus(), qPrintable(wrong));
        }
        QVERIFY(gEmpCode.isEmpty());

        // A click on the button is refused too, and does not log in.
        MessageBox::clearShown();
        QTest::mouseClick(s.login, Qt::LeftButton);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("社員コードの入力に誤りがあります。")});
        QCOMPARE(s.menusShown, 0);
        QVERIFY(s.code->hasFocus());

        MessageBox::clearShown();
        s.enterCode(QStringLiteral("E001  "));
        QVERIFY(shownTexts().isEmpty());
        QVERIFY(s.password->hasFocus());
        QCOMPARE(gEmpCode, QStringLiteral("E001"));
        QCOMPARE(gPassword, QStringLiteral("pw1"));

        s.enterCode(QStringLiteral(" E004"));
        QVERIFY(shownTexts().isEmpty());
        QCOMPARE(gEmpCode, QStringLiteral(" E004"));
    }

    void databaseErrorOnLeavingKeepsTheFocus() {
        LoginScreen s;
        execSql(QStringLiteral("ALTER TABLE syain_m RENAME TO syain_old"));
        s.enterCode(QStringLiteral("E001"));
        const QStringList texts = shownTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.first().contains(QStringLiteral("syain_m")), qPrintable(texts.first()));
        QVERIFY(s.code->hasFocus());
        QCOMPARE(s.menusShown, 0);
    }

    void passwordDecidesTheLogin() {
        LoginScreen s;
        s.enterCode(QStringLiteral("E001"));
        QTest::keyClicks(s.password, QStringLiteral("pw2"));
        QTest::mouseClick(s.login, Qt::LeftButton);
        QCOMPARE(shownTexts(), QStringList{QStringLiteral("パスワードの入力に誤りがあります。")});
        QVERIFY(s.password->hasFocus());
        QCOMPARE(s.password->text(), QStringLiteral("pw2"));
        QCOMPARE(s.menusShown, 0);
        QVERIFY(s.form->isVisible());

        // The code box counts bytes: six full-width characters fill ten bytes.
        s.code->setFocus();
        s.code->selectAll();
        GuiTest::type(QStringLiteral("あいうえおか"));
        QCOMPARE(s.code->text(), QStringLiteral("あいうえお"));
        s.enterCode(QStringLiteral("E001"));

        MessageBox::clearShown();
        s.password->selectAll();
        QTest::keyClicks(s.password, QStringLiteral("pw1   x"));
        QCOMPARE(s.password->text(), QStringLiteral("pw1   ")); // six bytes at most
        QTest::mouseClick(s.login, Qt::LeftButton);
        QVERIFY(shownTexts().isEmpty());
        QCOMPARE(s.menusShown, 1);
        QVERIFY(!s.form->isVisible()); // closing the menu ends at the login
    }

    void emptyStoredPasswordLogsInWithAnEmptyBox() {
        LoginScreen s;
        s.enterCode(QStringLiteral("E001"));
        s.enterCode(QStringLiteral("E003")); // Null password
        QVERIFY(s.password->text().isEmpty());
        QTest::mouseClick(s.login, Qt::LeftButton);
        QVERIFY(shownTexts().isEmpty());
        QCOMPARE(s.menusShown, 1);
        QCOMPARE(gEmpCode, QStringLiteral("E003"));
    }

    void keyboardMovesOnWithEnterAndIgnoresEscape() {
        {
            LoginScreen s;
            QCOMPARE(GuiTest::unnamedFields(s.form.get()), QStringList());
            QTest::keyClicks(s.code, QStringLiteral("E001"));
            QTest::keyClick(s.code, Qt::Key_Return);
            QVERIFY(s.password->hasFocus());
            QCOMPARE(s.code->text(), QStringLiteral("E001"));
            QTest::keyClick(s.password, Qt::Key_Escape);
            QVERIFY(s.form->isVisible());
            QVERIFY(s.password->hasFocus());
            QTest::keyClicks(s.password, QStringLiteral("pw1"));
            QTest::keyClick(s.password, Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY(s.login->hasFocus());
            QCOMPARE(s.password->text(), QStringLiteral("pw1"));
            QCOMPARE(s.menusShown, 0);
            QVERIFY(shownTexts().isEmpty());
            QTest::keyClick(s.login, Qt::Key_Space);
            QCOMPARE(s.menusShown, 1);
        }
    }

    void failedDatabaseOpenLeavesTheLoginOpen() {
        TestDatabase t;
        addEmployee(QStringLiteral("E001"), QString());
        t.writeIni(QStringLiteral("[Access]\nDSN=%1/missing.sqlite\n").arg(t.dirPath()));
        MessageBox::clearShown();
        FrmLogin login;
        int menus = 0;
        login.setMenuRunner([&menus] { ++menus; });
        // Opening may wait for a busy database: not before the screen is up.
        QVERIFY(shownTexts().isEmpty());
        QVERIFY(GuiTest::showActive(&login));
        QTRY_COMPARE(shownTexts().size(), 1);
        const QStringList texts = shownTexts();
        QVERIFY2(texts.first().contains(QStringLiteral("missing.sqlite")),
                 qPrintable(texts.first()));
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::Ok);
        QVERIFY(!DBIsOpen());

        // Without a connection the code check reports the failure and nobody logs in.
        MessageBox::clearShown();
        login.findChild<QLineEdit*>(QStringLiteral("txt_0"))->setText(QStringLiteral("E001"));
        QTest::mouseClick(login.findChild<QPushButton*>(QStringLiteral("cmdLogin")),
                          Qt::LeftButton);
        QCOMPARE(shownTexts().size(), 1);
        QCOMPARE(menus, 0);
        QVERIFY(login.isVisible());
    }

    void sharedFolderIsWarnedOfOncePerRun() {
        setNetworkFileSystemCheck([](const QString&) { return true; });
        {
            LoginScreen s;
            QVERIFY(s.active);
            QCOMPARE(MessageBox::shown().size(), 1);
            QVERIFY(shownTexts().first().contains(QStringLiteral("共有フォルダ")));
            QCOMPARE(MessageBox::shown().first().icon, MessageBox::Icon::Exclamation);
        }
        {
            LoginScreen s;
            QVERIFY(s.active);
            QVERIFY(shownTexts().isEmpty());
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
        s.enterCode(QStringLiteral("E001"));
        QTest::keyClicks(s.password, QStringLiteral("pw1"));

        bool sawMenu = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                sawMenu = modal->objectName() == QLatin1String("frmMenu");
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

    void passwordTestStripsOnlyTrailingBlanks() {
        QVERIFY(PasswordMatches(QStringLiteral("abc  "), QStringLiteral("abc")));
        QVERIFY(!PasswordMatches(QStringLiteral(" abc"), QStringLiteral("abc")));
        QVERIFY(!PasswordMatches(QStringLiteral("ABC"), QStringLiteral("abc")));
        QVERIFY(!PasswordMatches(QString(), QStringLiteral("abc")));
        QVERIFY(PasswordMatches(QStringLiteral("   "), QString()));
    }
};

QTEST_MAIN(TestLogin)
#include "test_login.moc"
