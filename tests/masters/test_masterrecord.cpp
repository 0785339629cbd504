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
    return q.next() ? q.value(QStringLiteral("v")) : QVariant(QStringLiteral("<no row>"));
}
} // namespace

class TestMasterRecord : public QObject {
    Q_OBJECT
  private slots:
    void insertStoresTypedTextsWithAuditColumns() {
        TestDatabase db;
        gEmpCode = QStringLiteral("E07");
        const QString awkward = QStringLiteral("O'Neil 100% \"型\" _x");
        insertMasterRecord(pnoMaster(), record({{"製品図番", QStringLiteral("AB-1  ")},
                                                {"図番名称", awkward},
                                                {"備考", QStringLiteral("備考です  ")}}));
        const std::optional<MasterRecord> r = loadMasterRecord(pnoMaster(), QStringLiteral("AB-1"));
        QVERIFY(r.has_value());
        QCOMPARE(r->text(QStringLiteral("図番名称")), awkward);
        QCOMPARE(r->text(QStringLiteral("備考")), QStringLiteral("備考です"));
        QVERIFY(!r->deleted);
        QCOMPARE(stored(QStringLiteral("SELECT 社員コード AS v FROM zuban_m WHERE 製品図番 = ?"),
                        QStringLiteral("AB-1"))
                     .toString(),
                 QStringLiteral("E07"));
        QCOMPARE(stored(QStringLiteral("SELECT 最終更新日時 AS v FROM zuban_m WHERE 製品図番 = ?"),
                        QStringLiteral("AB-1"))
                     .toString(),
                 QStringLiteral("2026-04-01 09:30:00"));

        // The employee table has no 社員コード audit column of its own.
        insertMasterRecord(empMaster(), record({{"社員コード", QStringLiteral("S1")},
                                                {"氏名", QStringLiteral("山田")},
                                                {"パスワード", QString()}},
                                               true));
        const std::optional<MasterRecord> e = loadMasterRecord(empMaster(), QStringLiteral("S1"));
        QVERIFY(e && e->deleted);
        QCOMPARE(stored(QStringLiteral("SELECT パスワード AS v FROM syain_m WHERE 社員コード = ?"),
                        QStringLiteral("S1")),
                 QVariant(QString())); // empty text, not Null
        QVERIFY(!loadMasterRecord(empMaster(), QStringLiteral("S2")).has_value());
    }

    void datesAreStoredAsDatesAndShownWithSlashes() {
        TestDatabase db;
        insertMasterRecord(personMaster(), record({{"内職者コード", QStringLiteral("N1")},
                                                   {"内職者氏名", QStringLiteral("佐藤")},
                                                   {"生年月日", QStringLiteral("1960/05/03")},
                                                   {"郵便番号", QStringLiteral("123-4567")}}));
        insertMasterRecord(personMaster(), record({{"内職者コード", QStringLiteral("N2")},
                                                   {"内職者氏名", QStringLiteral("鈴木")},
                                                   {"生年月日", QString()}}));
        const QString sql =
            QStringLiteral("SELECT 生年月日 AS v FROM naishoku_m WHERE 内職者コード = ?");
        QCOMPARE(stored(sql, QStringLiteral("N1")).toString(), QStringLiteral("1960-05-03"));
        QVERIFY(stored(sql, QStringLiteral("N2")).isNull());
        QCOMPARE(loadMasterRecord(personMaster(), QStringLiteral("N1"))
                     ->text(QStringLiteral("生年月日")),
                 QStringLiteral("1960/05/03"));
        QCOMPARE(loadMasterRecord(personMaster(), QStringLiteral("N1"))
                     ->text(QStringLiteral("郵便番号")),
                 QStringLiteral("123-4567"));
        QCOMPARE(loadMasterRecord(personMaster(), QStringLiteral("N2"))
                     ->text(QStringLiteral("生年月日")),
                 QString());

        QVERIFY_THROWS_EXCEPTION(
            AppError, insertMasterRecord(personMaster(),
                                         record({{"内職者コード", QStringLiteral("N3")},
                                                 {"生年月日", QStringLiteral("2003/02/30")}})));
        QVERIFY_THROWS_EXCEPTION(
            AppError,
            insertMasterRecord(personMaster(), record({{"内職者コード", QStringLiteral("  ")}})));
        QVERIFY(!masterRecordExists(personMaster(), QStringLiteral("N3")));
    }

    void existenceIsTestedOnTrimmedCodeIncludingDeletedRows() {
        TestDatabase db;
        insertMasterRecord(workCodeMaster(), record({{"作業コード", QStringLiteral("W1")}}, true));
        QVERIFY(masterRecordExists(workCodeMaster(), QStringLiteral("W1")));
        QVERIFY(masterRecordExists(workCodeMaster(), QStringLiteral("W1   ")));
        QVERIFY(!masterRecordExists(workCodeMaster(), QStringLiteral("W")));
        QVERIFY(!masterRecordExists(pnoMaster(), QStringLiteral("W1")));
        execSql(QStringLiteral("ALTER TABLE sagyou_m RENAME TO sagyou_old"));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 masterRecordExists(workCodeMaster(), QStringLiteral("W1")));
        QVERIFY_THROWS_EXCEPTION(DbError, loadMasterRecord(workCodeMaster(), QStringLiteral("W1")));
    }

    void updateRewritesEverythingButTheCode() {
        TestDatabase db;
        gEmpCode = QStringLiteral("E01");
        insertMasterRecord(workCodeMaster(), record({{"作業コード", QStringLiteral("W1")},
                                                     {"作業項目", QStringLiteral("旧")},
                                                     {"備考", QStringLiteral("旧備考")}},
                                                    true));
        insertMasterRecord(workCodeMaster(), record({{"作業コード", QStringLiteral("W2")},
                                                     {"作業項目", QStringLiteral("他")}}));
        Clock::setFixed(QDateTime(QDate(2026, 5, 2), QTime(13, 4, 5)));
        gEmpCode = QStringLiteral("E02");
        QVERIFY(updateMasterRecord(workCodeMaster(), QStringLiteral("W1"),
                                   record({{"作業コード", QStringLiteral("ZZ")},
                                           {"作業項目", QStringLiteral("新 ' %")},
                                           {"備考", QString()}})));
        QVERIFY(!masterRecordExists(workCodeMaster(), QStringLiteral("ZZ")));
        const std::optional<MasterRecord> r =
            loadMasterRecord(workCodeMaster(), QStringLiteral("W1"));
        QCOMPARE(r->text(QStringLiteral("作業項目")), QStringLiteral("新 ' %"));
        QCOMPARE(r->text(QStringLiteral("備考")), QString());
        QVERIFY(!r->deleted); // restored
        QCOMPARE(
            stored(QStringLiteral("SELECT 最終更新日時 || '/' || 社員コード AS v FROM sagyou_m "
                                  "WHERE 作業コード = ?"),
                   QStringLiteral("W1"))
                .toString(),
            QStringLiteral("2026-05-02 13:04:05/E02"));
        QCOMPARE(loadMasterRecord(workCodeMaster(), QStringLiteral("W2"))
                     ->text(QStringLiteral("作業項目")),
                 QStringLiteral("他"));
        // A record that no longer exists is reported, not taken as saved.
        QVERIFY(!updateMasterRecord(workCodeMaster(), QStringLiteral("W9"), record({})));
        QVERIFY(!updateMasterRecord(workCodeMaster(), QString(), record({})));
    }

    void listRowsFollowTheGridColumns() {
        TestDatabase db;
        QVERIFY(masterListRows(personMaster(), true).isEmpty());
        insertMasterRecord(personMaster(), record({{"内職者コード", QStringLiteral("N2")},
                                                   {"内職者氏名", QStringLiteral("乙")},
                                                   {"生年月日", QStringLiteral("1970/01/31")},
                                                   {"ランク", QStringLiteral("A")},
                                                   {"備考", QStringLiteral("r")}}));
        insertMasterRecord(personMaster(), record({{"内職者コード", QStringLiteral("N1")},
                                                   {"内職者氏名", QStringLiteral("甲")}},
                                                  true));
        QList<QStringList> rows = masterListRows(personMaster(), true);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0), (QStringList{"N2", "N2", "乙", "1970/01/31", "", "", "", "", "", "",
                                          "A", "r", ""}));
        rows = masterListRows(personMaster(), false);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).first(), QStringLiteral("N1"));
        QCOMPARE(rows.at(0).at(3), QString()); // no date of birth
        QCOMPARE(rows.at(0).last(), QStringLiteral("削除"));
        QCOMPARE(rows.at(1).last(), QString());

        insertMasterRecord(empMaster(), record({{"社員コード", QStringLiteral("S1")},
                                                {"氏名", QStringLiteral("山田")},
                                                {"パスワード", QStringLiteral("pw1234")},
                                                {"備考", QStringLiteral("x")}}));
        QCOMPARE(masterListRows(empMaster(), true).at(0),
                 (QStringList{"S1", "S1", "山田", "pw1234", "x", ""}));
    }
};

QTEST_GUILESS_MAIN(TestMasterRecord)
#include "test_masterrecord.moc"
