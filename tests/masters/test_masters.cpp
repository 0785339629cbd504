#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/session.h"
#include "masters/lookup.h"
#include "masters/masterdef.h"
#include "masters/masterrecord.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QTest>

using TestRuns::rows;

namespace {
// A record typed as "column=text|column=text"; an empty text is a null one.
MasterRecord record(const QString& texts, bool deleted = false) {
    MasterRecord r;
    for (const QString& field : texts.split('|', Qt::SkipEmptyParts)) {
        const QString text = field.section('=', 1);
        r.texts.insert(field.section('=', 0, 0), text.isEmpty() ? QString() : text);
    }
    r.deleted = deleted;
    return r;
}
void addPerson(const QString& code, const QString& name, int deleted = 0) {
    execSql(QStringLiteral(
                "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ) VALUES (?, ?, ?)"),
            {code, name, deleted});
}
} // namespace

class TestMasterRecord : public QObject {
    Q_OBJECT
  private slots:
    void insertStoresTypedTextsWithAuditColumns() {
        TestDatabase db;
        gEmpCode = "E07";
        const QString awkward = "O'Neil 100% \"型\" _x";
        insertMasterRecord(pnoMaster(),
                           record("製品図番=AB-1  |図番名称=" + awkward + "|備考=備考です  "));
        const std::optional<MasterRecord> r = loadMasterRecord(pnoMaster(), "AB-1");
        QVERIFY(r && !r->deleted);
        QCOMPARE(r->text("図番名称") + r->text("備考"), awkward + "備考です");
        QCOMPARE(rows("SELECT 社員コード, 最終更新日時 FROM zuban_m"),
                 QStringList{"E07|2026-04-01 09:30:00"});

        // The employee table has no 社員コード audit column of its own; an
        // empty text is stored as "", not Null.
        insertMasterRecord(empMaster(), record("社員コード=S1|氏名=山田|パスワード=", true));
        QVERIFY(loadMasterRecord(empMaster(), "S1")->deleted);
        QCOMPARE(rows("SELECT COUNT(*) FROM syain_m WHERE パスワード = ''"), QStringList{"1"});
        QVERIFY(!loadMasterRecord(empMaster(), "S2").has_value());
    }

    void datesAreStoredAsDatesAndShownWithSlashes() {
        TestDatabase db;
        insertMasterRecord(
            personMaster(),
            record("内職者コード=N1|内職者氏名=佐藤|生年月日=1960/05/03|郵便番号=123-4567"));
        insertMasterRecord(personMaster(), record("内職者コード=N2|内職者氏名=鈴木|生年月日="));
        QCOMPARE(rows("SELECT 内職者コード, 生年月日 FROM naishoku_m WHERE 生年月日 IS NOT NULL"),
                 QStringList{"N1|1960-05-03"});
        QCOMPARE(rows("SELECT 内職者コード FROM naishoku_m WHERE 生年月日 IS NULL"),
                 QStringList{"N2"});
        const MasterRecord n1 = *loadMasterRecord(personMaster(), "N1");
        QCOMPARE(n1.text("生年月日") + " " + n1.text("郵便番号"), "1960/05/03 123-4567");
        QCOMPARE(loadMasterRecord(personMaster(), "N2")->text("生年月日"), QString());

        QVERIFY_THROWS_EXCEPTION(
            AppError,
            insertMasterRecord(personMaster(), record("内職者コード=N3|生年月日=2003/02/30")));
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 insertMasterRecord(personMaster(), record("内職者コード=  ")));
        QVERIFY(!masterRecordExists(personMaster(), "N3"));
    }

    void existenceIsTestedOnTrimmedCodeIncludingDeletedRows() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), record("作業コード=W1", true));
        QVERIFY(masterRecordExists(workCodeMaster(), "W1   "));
        QVERIFY(!masterRecordExists(workCodeMaster(), "W"));
        QVERIFY(!masterRecordExists(pnoMaster(), "W1"));
        // Database failures are errors, not empty results.
        execSql("ALTER TABLE sagyou_m RENAME TO sagyou_old");
        QVERIFY_THROWS_EXCEPTION(DbError, masterRecordExists(workCodeMaster(), "W1"));
        QVERIFY_THROWS_EXCEPTION(DbError, loadMasterRecord(workCodeMaster(), "W1"));
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::find(Lookup::workCodes(), "W1"));
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::items(Lookup::workCodes()));
        DBClose();
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::items(Lookup::drawingNumbers()));
    }

    void updateRewritesEverythingButTheCode() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), record("作業コード=W1|作業項目=旧|備考=旧備考", true));
        insertMasterRecord(workCodeMaster(), record("作業コード=W2|作業項目=他"));
        Clock::setFixed(QDateTime(QDate(2026, 5, 2), QTime(13, 4, 5)));
        gEmpCode = "E02";
        // The code stays, the deleted record is restored.
        QVERIFY(updateMasterRecord(workCodeMaster(), "W1",
                                   record("作業コード=ZZ|作業項目=新 ' %|備考=")));
        QCOMPARE(rows("SELECT * FROM sagyou_m ORDER BY 1"),
                 (QStringList{"W1|新 ' %||2026-05-02 13:04:05|0|E02",
                              "W2|他||2026-04-01 09:30:00|0|E001"}));
        // A record that no longer exists is reported, not taken as saved.
        QVERIFY(!updateMasterRecord(workCodeMaster(), "W9", record("")));
        QVERIFY(!updateMasterRecord(workCodeMaster(), QString(), record("")));
    }

    void listRowsFollowTheGridColumns() {
        TestDatabase db;
        QVERIFY(masterListRows(personMaster(), true).isEmpty());
        insertMasterRecord(
            personMaster(),
            record("内職者コード=N2|内職者氏名=乙|生年月日=1970/01/31|ランク=A|備考=r"));
        insertMasterRecord(personMaster(), record("内職者コード=N1|内職者氏名=甲", true));
        const QStringList n2{"N2", "N2", "乙", "1970/01/31", "", "", "", "", "", "", "A", "r", ""};
        QCOMPARE(masterListRows(personMaster(), true), QList<QStringList>{n2});
        QCOMPARE(masterListRows(personMaster(), false),
                 (QList<QStringList>{{"N1", "N1", "甲", "", "", "", "", "", "", "", "", "", "削除"},
                                     n2}));
        insertMasterRecord(empMaster(), record("社員コード=S1|氏名=山田|パスワード=pw1234|備考=x"));
        QCOMPARE(masterListRows(empMaster(), true).at(0),
                 (QStringList{"S1", "S1", "山田", "pw1234", "x", ""}));
    }

    // Combo items are fixed byte widths, so that names line up; the code is
    // taken back before the full-width space.
    void lookupItemsAlignAndGiveBackTheirCode() {
        const Lookup::Source& pno = Lookup::drawingNumbers();
        QCOMPARE(Lookup::itemText(pno, "A001", "部品A"),
                 "A001" + QString(16, ' ') + "　部品A" + QString(35, ' '));
        QCOMPARE(LenByte(Lookup::itemText(Lookup::workCodes(), QString(), QString(50, 'n'))), 62);
        // A name longer than its width is cut; a full-width character that
        // would straddle the limit becomes one half-width space.
        const QString cut = Lookup::itemText(Lookup::homeWorkers(), "N02",
                                             QStringLiteral("x") + QString(15, QChar(0x3042)));
        QCOMPARE(cut, "N02" + QString(7, ' ') + "　x" + QString(9, QChar(0x3042)) + " ");
        // A code with full-width characters: a cut by 20 characters would
        // take part of the padding and the separator, the split does not.
        QCOMPARE(codeFromItem(Lookup::itemText(pno, "図番１２", "名称")), "図番１２");
        QCOMPARE(codeFromItem("B7   ") + codeFromItem(QString()), "B7");
        // Typed text longer than the code width is looked up by its start.
        QCOMPARE(Lookup::key(pno, "123456789012345678901234"), "12345678901234567890");
        QCOMPARE(Lookup::key(Lookup::homeWorkers(), "ABCDEFGHIJKL"), "ABCDEFGHIJ");
        QCOMPARE(Lookup::key(pno, "123456789 123456789 X"), "123456789 123456789");
    }

    void lookupListsAndFindsLiveRowsOnly() {
        TestDatabase db;
        const Lookup::Source& hw = Lookup::homeWorkers();
        QVERIFY(Lookup::items(hw).isEmpty());
        addPerson("P3", "三");
        addPerson("P001", "佐藤");
        addPerson("P002", "鈴木", 1);
        execSql("INSERT INTO naishoku_m (内職者コード) VALUES ('P9')"); // Null name
        QStringList codes;
        for (const QString& item : Lookup::items(hw))
            codes << codeFromItem(item);
        QCOMPARE(codes, (QStringList{"P001", "P3", "P9"}));
        QCOMPARE(Lookup::items(hw).last(),
                 "P9" + QString(8, ' ') + QChar(0x3000) + QString(20, ' '));

        addPerson("P'3%", "引用符");
        const QString found = Lookup::find(hw, "P001").value_or(QString());
        QCOMPARE(found, Lookup::itemText(hw, "P001", "佐藤"));
        // A text that already is a full item finds the same row again; typed
        // text longer than 10 characters is found by its first 10.
        QCOMPARE(Lookup::find(hw, found).value_or(QString()), found);
        QVERIFY(Lookup::find(hw, "P001      trailing").has_value());
        QVERIFY(Lookup::find(hw, "P'3%").has_value());    // bound, not pasted
        for (const char* missing : {"P002", "P00", "P%"}) // deleted, no prefix match
            QVERIFY2(!Lookup::find(hw, missing).has_value(), missing);

        // A file written before the flag had its default may hold Null: live.
        execSql("CREATE TABLE loose AS SELECT * FROM naishoku_m");
        execSql("DROP TABLE naishoku_m");
        execSql("ALTER TABLE loose RENAME TO naishoku_m");
        execSql("UPDATE naishoku_m SET 削除フラグ = NULL WHERE 内職者コード = 'P3'");
        QVERIFY(Lookup::find(hw, "P3").has_value());
        QCOMPARE(Lookup::items(hw).size(), 4); // P002 stays deleted
    }
};

QTEST_GUILESS_MAIN(TestMasterRecord)
#include "test_masters.moc"
