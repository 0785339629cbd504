#include "core/apperror.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/session.h"
#include "slips/slipentry.h"
#include "slips/slipfixtures.h"
#include "slips/slipstore.h"
#include "slips/sliptexts.h"
#include "support/testdatabase.h"

#include <QTest>

using PriceFixtures::addLine;
using SlipFixtures::addSlip;
using SlipFixtures::column;

namespace {

const QString kSettled = QStringLiteral("2026-03-31 17:45:12"); // a settlement run's stamp
const QString kNo = QStringLiteral("260310-001");

// A slip settled at 100 while 120 is now in force, and an unsettled one.
void addSlips() {
    PriceFixtures::addMasters();
    addLine(1, "P-100", "W1", "N01", 120, "2026/01/01");
    addSlip({.no = kNo,
             .deliveredOn = "2026-03-20",
             .settledAt = kSettled,
             .price = 100,
             .issued = 1234});
    addSlip({.no = "260310-002", .price = 100});
}

SlipRecord load(const QString& no = kNo) {
    const std::optional<SlipRecord> r = LoadSlipRecord(no);
    return r ? *r : SlipRecord();
}

template <typename F> QString failureOf(F&& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.text();
    }
    return QString();
}

} // namespace

class TestSlipEntry : public QObject {
    Q_OBJECT
  private slots:
    void requiredFieldsAndStatus() {
        SlipInput in;
        QCOMPARE(CheckRequired(in), SlipField::Pno);
        in.pno = "P";
        QCOMPARE(CheckRequired(in), SlipField::WNo);
        in.wno = "W";
        in.person = " ";
        QCOMPARE(CheckRequired(in), SlipField::Person);
        in.person = "N";
        QCOMPARE(CheckRequired(in), SlipField::RequestDate);
        in.requestDate = "2026/04/01";
        QCOMPARE(CheckRequired(in), SlipField::None);
        // A new slip compares against "not deleted, not settled".
        QVERIFY(deletionChanged(SlipStatus(), true));
        QVERIFY(!settlementDateChanged(SlipStatus(), " "));
    }

    void shownPriceAndQuestion() {
        TestDatabase db;
        addSlips();
        addLine(2, "P-200", "W1", "N01", 12.5, "2026/01/01");
        SlipInput in{.pno = "P-200",
                     .wno = "W1",
                     .person = "N01",
                     .requestDate = "2026/04/01",
                     .issued = "1,234"};
        SlipPriceView v = slipPriceView(in, nullptr);
        QCOMPARE(v.price + " " + v.total, QStringLiteral("12.500 15,425"));
        QCOMPARE(slipSaveQuestion(in, nullptr), SlipQuestion::Add);
        QCOMPARE(slipTotalText("3", "0.500"), QStringLiteral("2")); // 1.5, half away from zero
        in.requestDate = "2025/12/31";                              // before the first line
        v = slipPriceView(in, nullptr);
        QCOMPARE(v.price + " " + v.total, QStringLiteral("0.000 0"));
        QCOMPARE(slipSaveQuestion(in, nullptr), SlipQuestion::RegisterPrice);

        // A settled slip shows what it was paid and asks no price question,
        // even with no line in force; with its date emptied it is priced afresh.
        const SlipRecord loaded = load();
        in = loaded.input();
        execSql("UPDATE tanka_m SET 削除フラグ = 1");
        v = slipPriceView(in, &loaded);
        QCOMPARE(v.price + " " + v.total, QStringLiteral("100.000 123,400"));
        QCOMPARE(slipSaveQuestion(in, &loaded), SlipQuestion::Update);
        in.deleted = true;
        QCOMPARE(slipSaveQuestion(in, &loaded), SlipQuestion::StatusChange);
        in.settlementDate.clear();
        QCOMPARE(slipSaveQuestion(in, &loaded), SlipQuestion::RegisterPrice);
        in.requestDate = "2026/02/30";
        QCOMPARE(failureOf([&] { slipPriceView(in, &loaded); }), ConventionText::BadDate);
    }

    void insertStoresWhatWasTyped() {
        TestDatabase db; // 2026-04-01 09:30:00, employee E001
        addLine(1, "P-100", "W1", "N01", 12.5, "2026/01/01");
        SlipInput in{.pno = "P-100",
                     .wno = "W1",
                     .person = "N01",
                     .workKind = "袋詰め'%",
                     .requestDate = "2026/03/15",
                     .issued = "1,234",
                     .remark = "O'Brien; DROP TABLE seihin_t -- 100%" + QString(20, QChar(0x3042)),
                     .settlementDate = "2026/03/31"};
        const QString no = InsertSlip(in);
        QCOMPARE(no, QStringLiteral("260401-001"));
        QCOMPARE(column(no, "精算単価").toDouble(), 12.5);
        QCOMPARE(column(no, "作業区分").toString(), in.workKind);
        QCOMPARE(column(no, "払出数量").toLongLong(), qint64(1234));
        QCOMPARE(column(no, "依頼日").toString(), QStringLiteral("2026-03-15"));
        QVERIFY(column(no, "納入日").isNull());
        QCOMPARE(column(no, "備考").toString(), in.remark.left(36 + 7)); // cut to 50 bytes
        QCOMPARE(column(no, "精算日時").toString(), QStringLiteral("2026-03-31 00:00:00"));
        QCOMPARE(column(no, "最終更新日時").toString(), QStringLiteral("2026-04-01 09:30:00"));
        QCOMPARE(column(no, "社員コード").toString(), QStringLiteral("E001"));
        in.requestDate = "2025/12/31"; // no price in force: stored as 0
        QCOMPARE(column(InsertSlip(in), "精算単価").toDouble(), 0.0);
    }

    void updateKeepsASettledSlipsStampAndPrice() {
        TestDatabase db;
        addSlips();
        const SlipRecord loaded = load();
        QCOMPARE(loaded.settledAt, QDateTime(QDate(2026, 3, 31), QTime(17, 45, 12)));
        QCOMPARE(loaded.settlementDate, QStringLiteral("2026/03/31"));
        QVERIFY(loaded.personItem.contains(QStringLiteral("山田花子")));
        SlipInput in = loaded.input();
        in.remark = "再検品";
        UpdateSlip(in, loaded);
        QCOMPARE(column(kNo, "精算日時").toString(), kSettled);
        QCOMPARE(column(kNo, "精算単価").toDouble(), 100.0);
        QCOMPARE(column(kNo, "備考").toString(), in.remark);

        in.settlementDate = "2026/04/02"; // another day: still settled, same price
        UpdateSlip(in, load());
        QCOMPARE(column(kNo, "精算日時").toString(), QStringLiteral("2026-04-02 00:00:00"));
        QCOMPARE(column(kNo, "精算単価").toDouble(), 100.0);

        in.settlementDate.clear(); // unsettled: Null, priced at what is in force
        UpdateSlip(in, load());
        QVERIFY(column(kNo, "精算日時").isNull());
        QCOMPARE(column(kNo, "精算単価").toDouble(), 120.0);
    }

    void updateStopsAndWritesNothing() {
        TestDatabase db;
        addSlips();
        // Another program cancels the settled slip and settles the other one.
        for (const QString& no : {kNo, QStringLiteral("260310-002")}) {
            const SlipRecord loaded = load(no);
            SlipInput in = loaded.input();
            in.remark = "上書き";
            execSql("UPDATE seihin_t SET 精算日時 = ? WHERE 製品伝票番号 = ?",
                    {loaded.settled() ? SlipFixtures::orNull("") : "2026-04-01 10:00:00", no});
            QCOMPARE(failureOf([&] { UpdateSlip(in, loaded); }), SlipText::SettledElsewhere);
            QCOMPARE(column(no, "備考").toString(), QString());
        }
        // The price lookup fails: no stale price, nothing written.
        const SlipRecord loaded = load();
        SlipInput in = loaded.input();
        in.remark = "上書き";
        execSql("DROP TABLE tanka_m");
        QVERIFY_THROWS_EXCEPTION(DbError, UpdateSlip(in, loaded));
        QCOMPARE(column(kNo, "備考").toString(), QString());
    }

    void slipExistsForTheDeliveryScreen() {
        TestDatabase db;
        addSlip({.no = kNo});
        addSlip({.no = "260310-002", .deleted = true});
        QVERIFY(SlipExists(kNo + " ")); // a trailing blank is dropped
        QVERIFY(SlipExists("260310-002"));
        QVERIFY(!SlipExists("260310-999"));
        DBClose();
        QVERIFY_THROWS_EXCEPTION(DbError, SlipExists(kNo));
    }
};

QTEST_GUILESS_MAIN(TestSlipEntry)
#include "test_slip_entry.moc"
