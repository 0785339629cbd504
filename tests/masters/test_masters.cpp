#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/login.h"
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
MasterRecord record(const QString& texts, bool deleted = false, bool clearPassword = false) {
    MasterRecord r;
    r.clearPassword = clearPassword;
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
QString orNone(const QString& text) {
    return text.isEmpty() ? "(none)" : text;
}
QString listed(const QList<QStringList>& rows) {
    QStringList out;
    for (const QStringList& row : rows)
        out << row.join(',');
    return orNone(out.join(" / "));
}
// Half-width blanks shown as "·", so that the padding of an item counts.
QString dots(QString text) {
    return text.replace(' ', QStringLiteral("·"));
}
} // namespace

class TestMasterRecord : public QObject {
    Q_OBJECT
  private slots:
    // Operations on master records in turn, on one database, and what each
    // gives back: the table of text golden/records.txt.
    // Golden files on a database each: records.txt the master records
    // (insert, load, update, exists, list), combo-items.txt the combo items and
    // the look-up of a typed code (item, code, key, items, find); employee,
    // clock and rows (any statement) set and see around them.
    void recordsAndLookUpsInTurn() {
        const QHash<QString, const MasterDef*> masters{{"pno", &pnoMaster()},
                                                       {"work", &workCodeMaster()},
                                                       {"emp", &empMaster()},
                                                       {"person", &personMaster()}};
        const QHash<QString, const Lookup::Source*> sources{{"pno", &Lookup::drawingNumbers()},
                                                            {"work", &Lookup::workCodes()},
                                                            {"person", &Lookup::homeWorkers()}};
        for (const char* name : {"records.txt", "combo-items.txt"}) {
            TestDatabase db;
            const QString d = goldenCases(name, [&](const QStringList& f) -> QString {
                const MasterDef& m = *masters.value(f.value(1), &pnoMaster());
                const Lookup::Source& src = *sources.value(f.value(1), &Lookup::homeWorkers());
                const auto typed = [&f](int i) {
                    return f.value(i).replace("␣", " ").replace("·", " ");
                };
                try {
                    if (f[0] == "employee")
                        gEmpCode = f[1];
                    else if (f[0] == "clock")
                        Clock::setFixed(QDateTime::fromString(f[1], Qt::ISODate));
                    else if (f[0] == "insert")
                        insertMasterRecord(m, record(f[2], f.value(3) == "deleted"));
                    else if (f[0] == "update")
                        return updateMasterRecord(m, f[2] == "-" ? QString() : f[2],
                                                  record(f[3], false, f.value(4) == "clear"))
                                   ? "updated"
                                   : "not updated";
                    else if (f[0] == "login")
                        return loginPasswordMatches(f[1], typed(2)) ? "yes" : "no";
                    else if (f[0] == "exists")
                        return masterRecordExists(m, typed(2)) ? "yes" : "no";
                    else if (f[0] == "load")
                        return shown(loadMasterRecord(m, f[2]));
                    else if (f[0] == "list")
                        return listed(masterListRows(m, f[2] == "live"));
                    else if (f[0] == "item")
                        return dots(Lookup::itemText(src, typed(2), typed(3)));
                    else if (f[0] == "code")
                        return "[" + codeFromItem(typed(1)) + "]";
                    else if (f[0] == "key")
                        return Lookup::key(src, typed(2));
                    else if (f[0] == "items")
                        return orNone(dots(Lookup::items(src).join('\n')).replace('\n', " / "));
                    else if (f[0] == "find")
                        return dots(Lookup::find(src, typed(2)).value_or("(none)"));
                    else
                        return orNone(rows(f[1]).join(" / "));
                } catch (const DbError&) {
                    return "database error";
                } catch (const AppError& e) {
                    return "refused: " + e.text();
                }
                return "ok";
            });
            QVERIFY2(d.isEmpty(), qPrintable(d));
        }
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
};

QTEST_GUILESS_MAIN(TestMasterRecord)
#include "test_masters.moc"
