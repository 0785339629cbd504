#include "core/apperror.h"
#include "core/sqlquery.h"
#include "support/testdatabase.h"

#include <QStringDecoder>
#include <QTest>

class TestSqlQuery : public QObject {
    Q_OBJECT
  private slots:
    void preparedStatementRunsAgainWithNewValues() {
        TestDatabase db;
        SqlQuery insert("INSERT INTO sagyou_m (作業コード, 作業項目) VALUES (?, ?)");
        insert.bind("W1").bind("一").exec();
        insert.bind("W2").bind("二").exec();
        SqlQuery q(QStringLiteral(
            "SELECT 作業項目, 作業コード AS Code FROM sagyou_m WHERE 作業コード = ?"));
        q.bind("W2").exec();
        QVERIFY(q.next());
        QCOMPARE(q.str("作業項目"), "二");
        QCOMPARE(q.str("code"), "W2"); // any case
        QVERIFY_THROWS_EXCEPTION(DbError, q.str("備考"));
        q.bind("W1").exec();
        QVERIFY(q.next());
        QCOMPARE(q.str("作業項目"), "一");
        QVERIFY(!q.next());
    }

    void storedTextIsAlwaysValidUtf8() {
        TestDatabase db;
        const QString emoji = "😀";
        const QString name = QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b") + emoji +
                             QChar(0xDE00) + QStringLiteral("\u0301\uFE0F");
        execSql(QStringLiteral("INSERT INTO sagyou_m (作業コード, 作業項目) VALUES ('W1', ?)"),
                {name});
        SqlQuery q(EngineSql{"SELECT CAST(作業項目 AS BLOB) AS raw FROM sagyou_m",
                             "SELECT convert_to(作業項目, 'UTF8') AS raw FROM sagyou_m"});
        q.exec();
        QVERIFY(q.next());
        const QByteArray raw = q.value("raw").toByteArray();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString back = utf8.decode(raw);
        QVERIFY2(!utf8.hasError(), raw.toHex().constData());
        QCOMPARE(back, QStringLiteral("ab") + emoji + "\u0301\uFE0F");
    }
};

QTEST_GUILESS_MAIN(TestSqlQuery)
#include "test_sqlquery.moc"
