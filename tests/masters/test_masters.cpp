#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/session.h"
#include "masters/lookup.h"
#include "masters/masterdef.h"
#include "masters/masterrecord.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QTest>

using TestRuns::rows;

namespace {
// A record typed as "column=text|column=text", a blank as "␣"; an empty
// text is a null one.
MasterRecord record(const QString& texts, bool deleted = false) {
    MasterRecord r;
    for (const QString& field : texts.split('|', Qt::SkipEmptyParts)) {
        const QString text = field.section('=', 1).replace("␣", " ");
        r.texts.insert(field.section('=', 0, 0), text.isEmpty() ? QString() : text);
    }
    r.deleted = deleted;
    return r;
}
// A loaded record as "column=text|..." by column name, and its mark.
QString shown(const std::optional<MasterRecord>& r) {
    if (!r)
        return "(none)";
    QStringList fields;
    for (auto it = r->texts.cbegin(); it != r->texts.cend(); ++it)
        fields << it.key() + "=" + it.value();
    fields.sort();
    return fields.join('|') + (r->deleted ? " (deleted)" : "");
}
QString listed(const QList<QStringList>& rows) {
    QStringList out;
    for (const QStringList& row : rows)
        out << row.join(',');
    return out.isEmpty() ? "(none)" : out.join(" / ");
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
    // Operations on master records in turn, on one database, and what each
    // gives back: the table of text golden/records.txt.
    void recordsInTurn() {
        TestDatabase db;
        const QHash<QString, const MasterDef*> masters{{"pno", &pnoMaster()},
                                                       {"work", &workCodeMaster()},
                                                       {"emp", &empMaster()},
                                                       {"person", &personMaster()}};
        const QString d = goldenCases("records.txt", [&masters](const QStringList& f) -> QString {
            const MasterDef& m = *masters.value(f.value(1), &pnoMaster());
            try {
                if (f[0] == "employee")
                    gEmpCode = f[1];
                else if (f[0] == "clock")
                    Clock::setFixed(QDateTime::fromString(f[1], Qt::ISODate));
                else if (f[0] == "insert")
                    insertMasterRecord(m, record(f[2], f.value(3) == "deleted"));
                else if (f[0] == "update")
                    return updateMasterRecord(m, f[2] == "-" ? QString() : f[2], record(f[3]))
                               ? "updated"
                               : "not updated";
                else if (f[0] == "exists")
                    return masterRecordExists(m, QString(f[2]).replace("␣", " ")) ? "yes" : "no";
                else if (f[0] == "load")
                    return shown(loadMasterRecord(m, f[2]));
                else if (f[0] == "list")
                    return listed(masterListRows(m, f[2] == "live"));
                else
                    return rows(f[1]).join(" / ");
            } catch (const DbError&) {
                return "database error";
            } catch (const AppError& e) {
                return "refused: " + e.text();
            }
            return "ok";
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    // Database failures are errors, not empty results.
    void databaseFailuresAreErrors() {
        TestDatabase db;
        execSql("ALTER TABLE sagyou_m RENAME TO sagyou_old");
        QVERIFY_THROWS_EXCEPTION(DbError, masterRecordExists(workCodeMaster(), "W1"));
        QVERIFY_THROWS_EXCEPTION(DbError, loadMasterRecord(workCodeMaster(), "W1"));
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::find(Lookup::workCodes(), "W1"));
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::items(Lookup::workCodes()));
        DBClose();
        QVERIFY_THROWS_EXCEPTION(DbError, Lookup::items(Lookup::drawingNumbers()));
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
