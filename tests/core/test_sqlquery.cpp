#include "core/apperror.h"
#include "core/sqlquery.h"
#include "support/testdatabase.h"

#include <QTest>

class TestSqlQuery : public QObject {
    Q_OBJECT
  private slots:
    void preparedStatementRunsAgainWithNewValues() {
        TestDatabase db;
        SqlQuery insert(
            QStringLiteral("INSERT INTO sagyou_m (作業コード, 作業項目) VALUES (?, ?)"));
        insert.bind(QStringLiteral("W1")).bind(QStringLiteral("一")).exec();
        insert.bind(QStringLiteral("W2")).bind(QStringLiteral("二")).exec();
        SqlQuery q(QStringLiteral(
            "SELECT 作業項目, 作業コード AS Code FROM sagyou_m WHERE 作業コード = ?"));
        q.bind(QStringLiteral("W2")).exec();
        QVERIFY(q.next());
        QCOMPARE(q.str(QStringLiteral("作業項目")), QStringLiteral("二"));
        QCOMPARE(q.str(QStringLiteral("code")), QStringLiteral("W2")); // any case
        QVERIFY_THROWS_EXCEPTION(DbError, q.str(QStringLiteral("備考")));
        q.bind(QStringLiteral("W1")).exec();
        QVERIFY(q.next());
        QCOMPARE(q.str(QStringLiteral("作業項目")), QStringLiteral("一"));
        QVERIFY(!q.next());
    }
};

QTEST_GUILESS_MAIN(TestSqlQuery)
#include "test_sqlquery.moc"
