#include "core/sqlvalues.h"

#include <QTest>

class TestSqlValues : public QObject {
    Q_OBJECT
  private slots:
    void storedDatesReadBack() {
        QCOMPARE(SqlValue::toDate("2003-04-01"), QDate(2003, 4, 1));
        QCOMPARE(SqlValue::toDate("2004-02-29"), QDate(2004, 2, 29));
        // A date-time's date part.
        QCOMPARE(SqlValue::toDate("2026-12-31 23:59:59"), QDate(2026, 12, 31));
        QCOMPARE(SqlValue::toDate(SqlValue::date(QDate(1800, 1, 1))), QDate(1800, 1, 1));

        QVERIFY(!SqlValue::toDate(QVariant(QMetaType::fromType<QString>())).isValid());
        for (const char* bad : {"", "2003-4-01", "2003/04/01", "20030401", "2003-02-29",
                                "2003-13-01", "2003-04-3x", "x003-04-01", "2003-04"})
            QVERIFY2(!SqlValue::toDate(QString::fromLatin1(bad)).isValid(), bad);
        QVERIFY(!SqlValue::date(QDate()).isValid() || SqlValue::date(QDate()).isNull());
    }
};

QTEST_GUILESS_MAIN(TestSqlValues)
#include "test_sqlvalues.moc"
