#include "core/apperror.h"
#include "core/database.h"
#include "core/login.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "support/testdatabase.h"

#include <QTest>

namespace {

void addEmployee(const QString& code, const QVariant& password, int deleted = 0) {
    execSql(QStringLiteral("INSERT INTO syain_m (社員コード, 氏名, パスワード, 削除フラグ) "
                           "VALUES (?, ?, ?, ?)"),
            {code, QStringLiteral("社員") + code, password, deleted});
}

} // namespace

class TestLogin : public QObject {
    Q_OBJECT
  private slots:
    void loginCheckFindsOnlyLiveEmployeesByExactCode() {
        TestDatabase t;
        addEmployee(QStringLiteral("E001"), QStringLiteral("pw1"));
        addEmployee(QStringLiteral("E002"), QStringLiteral("gone"), 1);
        addEmployee(QStringLiteral("E003"), QVariant()); // Null password
        addEmployee(QStringLiteral(" E004"), QStringLiteral("lead"));
        addEmployee(QStringLiteral("E005"), QStringLiteral(""));

        gEmpCode = QStringLiteral("before");
        gPassword = QStringLiteral("before");
        QCOMPARE(LoginCheck(QStringLiteral("E001")), 0);
        QCOMPARE(gEmpCode, QStringLiteral("E001"));
        QCOMPARE(gPassword, QStringLiteral("pw1"));

        // Not found leaves the last accepted employee in place.
        QCOMPARE(LoginCheck(QStringLiteral("E002")), 1);
        QCOMPARE(LoginCheck(QStringLiteral("E999")), 1);
        QCOMPARE(LoginCheck(QStringLiteral("E004")), 1);  // the leading blank is part of the code
        QCOMPARE(LoginCheck(QStringLiteral("E001 ")), 1); // the caller strips trailing blanks
        QCOMPARE(LoginCheck(QString()), 1);
        QCOMPARE(gEmpCode, QStringLiteral("E001"));
        QCOMPARE(gPassword, QStringLiteral("pw1"));

        QCOMPARE(LoginCheck(QStringLiteral("E003")), 0);
        QCOMPARE(gEmpCode, QStringLiteral("E003"));
        QCOMPARE(gPassword, QString());

        QCOMPARE(LoginCheck(QStringLiteral(" E004")), 0);
        QCOMPARE(gEmpCode, QStringLiteral(" E004"));

        QCOMPARE(LoginCheck(QStringLiteral("E001")), 0);
        QCOMPARE(LoginCheck(QStringLiteral("E005")), 0); // empty, not Null
        QCOMPARE(gPassword, QString());

        // A code that would widen a pasted-together statement finds nobody.
        QCOMPARE(LoginCheck(QStringLiteral("x' OR '1'='1")), 1);
        QCOMPARE(LoginCheck(QStringLiteral("E001' --")), 1);
        QCOMPARE(gEmpCode, QStringLiteral("E005"));
    }

    void loginCheckReportsDatabaseFailures() {
        TestDatabase t;
        addEmployee(QStringLiteral("E001"), QStringLiteral("pw1"));
        execSql(QStringLiteral("ALTER TABLE syain_m RENAME TO syain_old"));
        QVERIFY_THROWS_EXCEPTION(DbError, LoginCheck(QStringLiteral("E001")));
        execSql(QStringLiteral("ALTER TABLE syain_old RENAME TO syain_m"));
        DBClose();
        gEmpCode = QStringLiteral("kept");
        try {
            LoginCheck(QStringLiteral("E001"));
            QFAIL("a lookup without a connection succeeded");
        } catch (const DbError& e) {
            QVERIFY(!e.text().isEmpty());
        }
        QCOMPARE(gEmpCode, QStringLiteral("kept"));
    }

    void passwordTestStripsOnlyTrailingBlanks() {
        QVERIFY(PasswordMatches(QStringLiteral("abc"), QStringLiteral("abc")));
        QVERIFY(PasswordMatches(QStringLiteral("abc  "), QStringLiteral("abc")));
        QVERIFY(!PasswordMatches(QStringLiteral(" abc"), QStringLiteral("abc")));
        QVERIFY(!PasswordMatches(QStringLiteral("ABC"), QStringLiteral("abc")));
        QVERIFY(!PasswordMatches(QStringLiteral("ab"), QStringLiteral("abc")));
        QVERIFY(!PasswordMatches(QString(), QStringLiteral("abc")));
        QVERIFY(!PasswordMatches(QStringLiteral("abc"), QString()));
        QVERIFY(PasswordMatches(QString(), QString()));
        QVERIFY(PasswordMatches(QStringLiteral("   "), QString()));
    }
};

QTEST_MAIN(TestLogin)
#include "test_login.moc"
