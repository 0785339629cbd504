#include "core/apperror.h"
#include "core/clock.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "masters/masterdef.h"
#include "masters/masterrecord.h"
#include "support/testdatabase.h"

#include <QTest>

namespace {
MasterRecord record(std::initializer_list<std::pair<const char*, QString>> texts,
                    bool deleted = false) {
    MasterRecord r;
    for (const auto& [column, text] : texts)
        r.texts.insert(QString::fromUtf8(column), text);
    r.deleted = deleted;
    return r;
}

QVariant stored(const QString& sql, const QString& key) {
    SqlQuery q(sql);
    q.bind(key).exec();
    return q.next() ? q.value("v") : QVariant("<no row>");
}
} // namespace

class TestMasterRecord : public QObject {
    Q_OBJECT
  private slots:
    void insertStoresTypedTextsWithAuditColumns() {
        TestDatabase db;
        gEmpCode = "E07";
        const QString awkward = "O'Neil 100% \"型\" _x";
        insertMasterRecord(
            pnoMaster(),
            record({{"製品図番", "AB-1  "}, {"図番名称", awkward}, {"備考", "備考です  "}}));
        const std::optional<MasterRecord> r = loadMasterRecord(pnoMaster(), "AB-1");
        QVERIFY(r.has_value());
        QCOMPARE(r->text("図番名称"), awkward);
        QCOMPARE(r->text("備考"), "備考です");
        QVERIFY(!r->deleted);
        QCOMPARE(
            stored("SELECT 社員コード AS v FROM zuban_m WHERE 製品図番 = ?", "AB-1").toString(),
            "E07");
        QCOMPARE(
            stored("SELECT 最終更新日時 AS v FROM zuban_m WHERE 製品図番 = ?", "AB-1").toString(),
            "2026-04-01 09:30:00");

        // The employee table has no 社員コード audit column of its own.
        insertMasterRecord(
            empMaster(),
            record({{"社員コード", "S1"}, {"氏名", "山田"}, {"パスワード", QString()}}, true));
        const std::optional<MasterRecord> e = loadMasterRecord(empMaster(), "S1");
        QVERIFY(e && e->deleted);
        QCOMPARE(stored("SELECT パスワード AS v FROM syain_m WHERE 社員コード = ?", "S1"),
                 QVariant(QString())); // empty text, not Null
        QVERIFY(!loadMasterRecord(empMaster(), "S2").has_value());
    }

    void datesAreStoredAsDatesAndShownWithSlashes() {
        TestDatabase db;
        insertMasterRecord(personMaster(), record({{"内職者コード", "N1"},
                                                   {"内職者氏名", "佐藤"},
                                                   {"生年月日", "1960/05/03"},
                                                   {"郵便番号", "123-4567"}}));
        insertMasterRecord(
            personMaster(),
            record({{"内職者コード", "N2"}, {"内職者氏名", "鈴木"}, {"生年月日", QString()}}));
        const QString sql = "SELECT 生年月日 AS v FROM naishoku_m WHERE 内職者コード = ?";
        QCOMPARE(stored(sql, "N1").toString(), "1960-05-03");
        QVERIFY(stored(sql, "N2").isNull());
        QCOMPARE(loadMasterRecord(personMaster(), "N1")->text("生年月日"), "1960/05/03");
        QCOMPARE(loadMasterRecord(personMaster(), "N1")->text("郵便番号"), "123-4567");
        QCOMPARE(loadMasterRecord(personMaster(), "N2")->text("生年月日"), QString());

        QVERIFY_THROWS_EXCEPTION(
            AppError, insertMasterRecord(personMaster(), record({{"内職者コード", "N3"},
                                                                 {"生年月日", "2003/02/30"}})));
        QVERIFY_THROWS_EXCEPTION(
            AppError, insertMasterRecord(personMaster(), record({{"内職者コード", "  "}})));
        QVERIFY(!masterRecordExists(personMaster(), "N3"));
    }

    void existenceIsTestedOnTrimmedCodeIncludingDeletedRows() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), record({{"作業コード", "W1"}}, true));
        QVERIFY(masterRecordExists(workCodeMaster(), "W1"));
        QVERIFY(masterRecordExists(workCodeMaster(), "W1   "));
        QVERIFY(!masterRecordExists(workCodeMaster(), "W"));
        QVERIFY(!masterRecordExists(pnoMaster(), "W1"));
        execSql("ALTER TABLE sagyou_m RENAME TO sagyou_old");
        QVERIFY_THROWS_EXCEPTION(DbError, masterRecordExists(workCodeMaster(), "W1"));
        QVERIFY_THROWS_EXCEPTION(DbError, loadMasterRecord(workCodeMaster(), "W1"));
    }

    void updateRewritesEverythingButTheCode() {
        TestDatabase db;
        gEmpCode = "E01";
        insertMasterRecord(
            workCodeMaster(),
            record({{"作業コード", "W1"}, {"作業項目", "旧"}, {"備考", "旧備考"}}, true));
        insertMasterRecord(workCodeMaster(), record({{"作業コード", "W2"}, {"作業項目", "他"}}));
        Clock::setFixed(QDateTime(QDate(2026, 5, 2), QTime(13, 4, 5)));
        gEmpCode = "E02";
        QVERIFY(updateMasterRecord(
            workCodeMaster(), "W1",
            record({{"作業コード", "ZZ"}, {"作業項目", "新 ' %"}, {"備考", QString()}})));
        QVERIFY(!masterRecordExists(workCodeMaster(), "ZZ"));
        const std::optional<MasterRecord> r = loadMasterRecord(workCodeMaster(), "W1");
        QCOMPARE(r->text("作業項目"), "新 ' %");
        QCOMPARE(r->text("備考"), QString());
        QVERIFY(!r->deleted); // restored
        QCOMPARE(
            stored(QStringLiteral("SELECT 最終更新日時 || '/' || 社員コード AS v FROM sagyou_m "
                                  "WHERE 作業コード = ?"),
                   "W1")
                .toString(),
            "2026-05-02 13:04:05/E02");
        QCOMPARE(loadMasterRecord(workCodeMaster(), "W2")->text("作業項目"), "他");
        // A record that no longer exists is reported, not taken as saved.
        QVERIFY(!updateMasterRecord(workCodeMaster(), "W9", record({})));
        QVERIFY(!updateMasterRecord(workCodeMaster(), QString(), record({})));
    }

    void listRowsFollowTheGridColumns() {
        TestDatabase db;
        QVERIFY(masterListRows(personMaster(), true).isEmpty());
        insertMasterRecord(personMaster(), record({{"内職者コード", "N2"},
                                                   {"内職者氏名", "乙"},
                                                   {"生年月日", "1970/01/31"},
                                                   {"ランク", "A"},
                                                   {"備考", "r"}}));
        insertMasterRecord(personMaster(),
                           record({{"内職者コード", "N1"}, {"内職者氏名", "甲"}}, true));
        QList<QStringList> rows = masterListRows(personMaster(), true);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0), (QStringList{"N2", "N2", "乙", "1970/01/31", "", "", "", "", "", "",
                                          "A", "r", ""}));
        rows = masterListRows(personMaster(), false);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).first(), "N1");
        QCOMPARE(rows.at(0).at(3), QString()); // no date of birth
        QCOMPARE(rows.at(0).last(), "削除");
        QCOMPARE(rows.at(1).last(), QString());

        insertMasterRecord(
            empMaster(),
            record(
                {{"社員コード", "S1"}, {"氏名", "山田"}, {"パスワード", "pw1234"}, {"備考", "x"}}));
        QCOMPARE(masterListRows(empMaster(), true).at(0),
                 (QStringList{"S1", "S1", "山田", "pw1234", "x", ""}));
    }
};

QTEST_GUILESS_MAIN(TestMasterRecord)
#include "test_masterrecord.moc"
