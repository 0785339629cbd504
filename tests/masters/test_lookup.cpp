#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/database.h"
#include "core/sqlquery.h"
#include "masters/lookup.h"
#include "support/testdatabase.h"

#include <QTest>

namespace {
void addDrawing(const QString& code, const QString& name, int deleted = 0) {
    execSql("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, ?)",
            {code, name, deleted});
}
void addPerson(const QString& code, const QString& name, int deleted = 0) {
    execSql(QStringLiteral(
                "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ) VALUES (?, ?, ?)"),
            {code, name, deleted});
}
} // namespace

class TestLookup : public QObject {
    Q_OBJECT
  private slots:
    void itemsAreAlignedToFixedByteWidths() {
        const Lookup::Source& pno = Lookup::drawingNumbers();
        const QString item = Lookup::itemText(pno, "A001", "部品A");
        QCOMPARE(LenByte(item), 62);
        QCOMPARE(item, QStringLiteral("A001") + QString(16, ' ') + QStringLiteral("　部品A") +
                           QString(35, ' '));

        const QString person = Lookup::itemText(Lookup::homeWorkers(), "N01", "山田花子");
        QCOMPARE(LenByte(person), 32);
        QVERIFY(person.startsWith("N01       　山田花子"));

        // A name longer than its width is cut; a full-width character that
        // would straddle the limit becomes one half-width space.
        const QString longName = QString(15, QChar(0x3042)); // 30 bytes
        const QString cut =
            Lookup::itemText(Lookup::homeWorkers(), "N02", QStringLiteral("x") + longName);
        QCOMPARE(LenByte(cut), 32);
        QVERIFY(cut.endsWith(QStringLiteral("x") + QString(9, QChar(0x3042)) + " "));
        QCOMPARE(LenByte(Lookup::itemText(Lookup::workCodes(), QString(), QString(50, 'n'))), 62);
    }

    void codeIsTakenBackBeforeTheFullWidthSpace() {
        const Lookup::Source& pno = Lookup::drawingNumbers();
        QCOMPARE(codeFromItem(Lookup::itemText(pno, "A-1", "名")), "A-1");
        // A code with full-width characters: a cut by 20 characters would
        // take part of the padding and the separator, the split does not.
        const QString wide = Lookup::itemText(pno, "図番１２", "名称");
        QCOMPARE(codeFromItem(wide), "図番１２");
        QCOMPARE(codeFromItem("B7   "), "B7");
        QCOMPARE(codeFromItem(QString()), QString());
        // Typed text longer than the code width is looked up by its start.
        QCOMPARE(Lookup::key(pno, "123456789012345678901234"), "12345678901234567890");
        QCOMPARE(Lookup::key(Lookup::homeWorkers(), "ABCDEFGHIJKL"), "ABCDEFGHIJ");
        QCOMPARE(Lookup::key(pno, "123456789 123456789 X"), "123456789 123456789");
    }

    void onlyLiveRowsAreListedInCodeOrder() {
        TestDatabase db;
        QVERIFY(Lookup::items(Lookup::drawingNumbers()).isEmpty());
        addDrawing("C3", "三");
        addDrawing("A1", "一");
        addDrawing("B2", "二", 1);
        execSql("INSERT INTO zuban_m (製品図番) VALUES ('D4')"); // Null name
        const QStringList items = Lookup::items(Lookup::drawingNumbers());
        QCOMPARE(items.size(), 3);
        QCOMPARE(codeFromItem(items.at(0)), "A1");
        QCOMPARE(codeFromItem(items.at(1)), "C3");
        QCOMPARE(items.at(2),
                 QStringLiteral("D4") + QString(18, ' ') + QChar(0x3000) + QString(40, ' '));
        QVERIFY(Lookup::items(Lookup::workCodes()).isEmpty());
    }

    void findMatchesLiveCodesOnly() {
        TestDatabase db;
        addPerson("P001", "佐藤");
        addPerson("P002", "鈴木", 1);
        addPerson("P'3%", "引用符");
        const Lookup::Source& hw = Lookup::homeWorkers();

        const std::optional<QString> found = Lookup::find(hw, "P001");
        QVERIFY(found.has_value());
        QCOMPARE(*found, Lookup::itemText(hw, "P001", "佐藤"));
        // A text that already is a full item finds the same row again.
        QCOMPARE(Lookup::find(hw, *found).value_or(QString()), *found);
        QVERIFY(!Lookup::find(hw, "P002").has_value()); // deleted
        QVERIFY(!Lookup::find(hw, "P00").has_value());  // no prefix match
        QVERIFY(!Lookup::find(hw, "P%").has_value());
        QVERIFY(Lookup::find(hw, "P'3%").has_value()); // bound, not pasted
        // Typed text longer than 10 characters: its first 10 are the key.
        QVERIFY(Lookup::find(hw, "P001      trailing").has_value());

        // A file written before the flag had its default may hold Null: live.
        execSql("CREATE TABLE loose AS SELECT * FROM naishoku_m");
        execSql("DROP TABLE naishoku_m");
        execSql("ALTER TABLE loose RENAME TO naishoku_m");
        execSql(QStringLiteral("INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ)"
                               " VALUES ('P004', '古い行', NULL)"));
        QVERIFY(Lookup::find(hw, "P004").has_value());
        QCOMPARE(Lookup::items(hw).size(), 3);
    }

    void databaseFailuresAreErrorsNotEmptyResults() {
        TestDatabase db;
        addPerson("P001", "佐藤");
        execSql("ALTER TABLE naishoku_m RENAME TO naishoku_old");
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::find(Lookup::homeWorkers(), "P001"));
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::items(Lookup::homeWorkers()));
        DBClose();
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::items(Lookup::drawingNumbers()));
    }
};

QTEST_GUILESS_MAIN(TestLookup)
#include "test_lookup.moc"
