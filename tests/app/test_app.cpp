#include "app/frmlogin.h"
#include "app/frmmenu.h"
#include "core/database.h"
#include "core/login.h"
#include "core/passwordhash.h"
#include "core/screens/appsetup.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "masters/masterdef.h"
#include "slips/slipfixtures.h"
#include "support/golden.h"
#include "support/guitest.h"
#include "support/testdatabase.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
// Clicks travel through the window, where a refused validation stops them.
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>

using namespace GuiTest;

namespace {

// The menu's buttons but cmdExit.
const QStringList kButtons = {"cmdNouhin", "cmdProduct",  "cmdAccount", "cmdEMP",   "cmdPerson",
                              "cmdWorkCd", "cmdWrkPrice", "cmdPNo",     "cmdLedger"};

void addEmployee(const QString& code, const QVariant& password, int deleted = 0) {
    execSql("INSERT INTO syain_m (社員コード, 氏名, パスワード, 削除フラグ) VALUES (?, ?, ?, ?)",
            {code, "社員" + code, password, deleted});
}

// A login screen over a test database holding a few employees, shown and
// active, with the menu replaced by a counter.
struct LoginScreen {
    static bool fill(TestDatabase& db) {
        db.writeIni(QStringLiteral("[Access]\nDSN=%1\nUID=0\n").arg(db.path()));
        addEmployee("E001", "pw1");
        addEmployee("E002", "gone", 1);
        addEmployee(" E004", "lead");
        MessageBox::clearShown();
        DBClose(); // the screen opens it again once it is up
        return true;
    }
    TestDatabase db;
    bool filled = fill(db);
    FrmLogin form;
    QLineEdit* code = box(&form, "txt_0");
    QLineEdit* password = box(&form, "txt_1");
    QPushButton* login = child<QPushButton>(&form, "cmdLogin");
    int menusShown = 0;
    bool active = (form.setMenuRunner([this] { ++menusShown; }), showActive(&form)) &&
                  QTest::qWaitFor([] { return databaseIsOpen(); }) && (code->setFocus(), true);

    // Types a code and leaves the box with Tab.
    void enterCode(const QString& text) {
        code->setFocus();
        code->selectAll();
        QTest::keyClicks(code, text);
        QTest::keyClick(code, Qt::Key_Tab);
    }
};

} // namespace

// The login and the menu it leads to.
class TestApp : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        setupApplication(*qApp);
        MessageBox::setTestMode(true);
    }
    void cleanup() { FrmMenu::setEndProgram(nullptr); }

    void loginCheckKeepsTheLastEmployeeAndPasswordsIgnoreTrailingBlanks() {
        TestDatabase t;
        addEmployee("E001", "pw1");
        QCOMPARE(LoginCheck("E001"), 0);
        QCOMPARE(LoginCheck("E001 "), 1); // the caller strips trailing blanks
        // A code that would widen a pasted-together statement finds nobody.
        QCOMPARE(LoginCheck("x' OR '1'='1"), 1);
        QCOMPARE(gEmpCode, "E001");

        // Typed against a hash, a clear password of older data and none; the
        // hash made again from the setting (salt and costs) alone, as on a
        // server, agrees exactly when the library's verification does.
        const QString hash = PasswordHash::make("abc");
        QVERIFY(PasswordHash::isHash(hash) && hash != PasswordHash::make("abc"));
        for (const auto& [typed, stored, match] : {std::tuple{"abc  ", hash, true},
                                                   {" abc", hash, false},
                                                   {"ABC", hash, false},
                                                   {"", hash, false},
                                                   {"abc  ", QString("abc"), true},
                                                   {"ABC", QString("abc"), false},
                                                   {"   ", QString(), true},
                                                   {"x", QString(), false}}) {
            QVERIFY2(PasswordHash::matches(typed, stored) == match, typed);
            if (PasswordHash::isHash(stored))
                QVERIFY2((PasswordHash::remake(typed, PasswordHash::settingOf(stored)) == stored) ==
                             match,
                         typed);
        }
    }

    // What the clerk does at the login (blanks typed as "_") → the messages,
    // the focus, the two boxes, the employee taken, menus shown, the screen.
    void loginSteps() {
        LoginScreen s;
        QVERIFY(s.active);
        QCOMPARE(unnamedFields(&s.form), QStringList());
        const QString d = goldenCases("login.txt", [&s](const QStringList& f) {
            const QString text = f.value(1).replace('_', ' ');
            if (f[0] == "code") {
                s.enterCode(text);
            } else if (f[0] == "type") {
                s.code->setFocus();
                s.code->selectAll();
                type(text);
            } else if (f[0] == "password") {
                s.password->selectAll();
                QTest::keyClicks(s.password, text);
            } else if (f[0] == "click") {
                QTest::mouseClick(s.login, Qt::LeftButton);
            } else if (f[0] != "-") {
                QTest::keyClick(focused(), f[0] == "Tab" ? Qt::Key_Tab : Qt::Key_Escape);
            }
            return QStringList{takeShown().join(" / "),
                               focused() ? focused()->objectName() : "-",
                               s.code->text(),
                               s.password->text(),
                               gEmpCode,
                               QString::number(s.menusShown),
                               s.form.isVisible() ? "open" : "closed"}
                .join(" | ");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
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

    void failedDatabaseOpenLeavesTheLoginOpen() {
        TestDatabase t;
        addEmployee("E001", QString());
        t.writeIni(QStringLiteral("[Access]\nDSN=%1/missing.sqlite\n").arg(t.dirPath()));
        MessageBox::clearShown();
        FrmLogin login;
        int menus = 0;
        login.setMenuRunner([&menus] { ++menus; });
        // Opening may wait for a busy database: not before the screen is up.
        QVERIFY(shownTexts().isEmpty() && showActive(&login));
        QTRY_COMPARE(shownTexts().size(), 1);
        QVERIFY2(shownTexts().first().contains("missing.sqlite"), qPrintable(shownTexts()[0]));
        QVERIFY(!databaseIsOpen());

        // Without a connection the code check reports the failure and nobody logs in.
        MessageBox::clearShown();
        box(&login, "txt_0")->setText("E001");
        QTest::mouseClick(child<QPushButton>(&login, "cmdLogin"), Qt::LeftButton);
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
        QString shown;
        s.form.setMenuRunner([&shown] {
            FrmMenu menu;
            onNextModal([&shown](QWidget* modal) {
                shown = modal->objectName();
                modal->close();
            });
            menu.exec();
        });
        s.enterCode("E001");
        QTest::keyClicks(s.password, "pw1");
        QTest::mouseClick(s.login, Qt::LeftButton);
        QCOMPARE(shown, "frmMenu");
        QVERIFY(!s.form.isVisible());
        QCOMPARE(ends, 0);
        QVERIFY(databaseIsOpen()); // the close box does not close the connection
    }

    // The settings → the buttons enabled, each with the screen it opens, and
    // the user's name shown.
    void accessSettingDecidesTheButtons() {
        TestDatabase t;
        const QString d = goldenCases("menu.txt", [&t](const QStringList& ini) {
            t.writeIni(ini.join('\n') + '\n');
            FrmMenu menu;
            QStringList on;
            for (const QString& name : kButtons) {
                if (!child<QPushButton>(&menu, name)->isEnabled())
                    continue;
                QString opened;
                onNextModal([&opened](QWidget* s) {
                    opened = s->objectName();
                    QTest::keyClick(s, Qt::Key_Escape);
                    s->close();
                });
                click(&menu, name);
                on << name + ">" + opened;
            }
            return on.join(' ') + " | [" + child<QLabel>(&menu, "SystemUserName")->text() + "]";
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void exitAndEscapeCloseTheConnectionAndEndTheProgram() {
        for (const bool byEscape : {false, true}) {
            TestDatabase t;
            t.writeIni("[Access]\nUID=0\n");
            int ends = 0;
            bool openAtEnd = true;
            FrmMenu::setEndProgram([&] {
                ++ends;
                openAtEnd = databaseIsOpen();
            });
            FrmMenu menu;
            QVERIFY(showActive(&menu) && databaseIsOpen());
            if (byEscape)
                QTest::keyClick(child<QPushButton>(&menu, "cmdPNo"), Qt::Key_Escape);
            else
                QTest::mouseClick(child<QPushButton>(&menu, "cmdExit"), Qt::LeftButton);
            QCOMPARE(ends, 1);
            QVERIFY(!openAtEnd && !databaseIsOpen() && !menu.isVisible());
            QVERIFY(MessageBox::shown().isEmpty()); // no question asked
        }
    }

    void lateUnsettledSlipsAreWarnedOfAndOpenInTheSlipSearch() {
        TestDatabase t(QDateTime(QDate(2026, 4, 1), QTime(9, 0)));
        t.writeIni("[Access]\nUID=0\n");
        SlipFixtures::addSlip({.no = "260227-001", .deliveredOn = "2026-02-27"}); // paid by 03-31
        SlipFixtures::addSlip({.no = "260302-001", .deliveredOn = "2026-03-02"}); // by 04-30
        FrmMenu menu;
        QVERIFY(showActive(&menu));
        QCOMPARE(child<QLabel>(&menu, "lblPayWarning")->text() + "|" +
                     child<QLabel>(&menu, "lblDueSoon")->text(),
                 "支払期限を過ぎた未精算の伝票が 1 枚あります\n（最も古い納入日 2026/02/27）|");
        QStringList listed;
        onNextModal([&listed](QWidget* search) {
            auto* grid = child<ListGrid>(search, "grd1");
            for (int row = 1; row < grid->rows(); ++row)
                listed << grid->textMatrix(row, 1);
            listed.removeAll(QString()); // the layout's empty rows
            search->close();
        });
        QTest::mouseClick(child<QPushButton>(&menu, "cmdOverdue"), Qt::LeftButton);
        QCOMPARE(listed, QStringList{"260227-001"});

        t.writeIni("[HomeWork]\nPayDay=翌々月10日\n");
        FrmMenu wrongTerms;
        QVERIFY(child<QLabel>(&wrongTerms, "lblPayWarning")->text().contains("[HomeWork] PayDay"));
        QVERIFY(child<QPushButton>(&wrongTerms, "cmdOverdue")->isHidden());
    }
};

QTEST_MAIN(TestApp)
#include "test_app.moc"
