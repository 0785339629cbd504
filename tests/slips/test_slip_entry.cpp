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

// A settled slip paid at 100 while 120 is now in force.
void addSettledSlip() {
    PriceFixtures::addMasters();
    addLine(1, QStringLiteral("P-100"), QStringLiteral("W1"), QStringLiteral("N01"), 120,
            QStringLiteral("2026/01/01"));
    addSlip({.no = kNo,
             .deliveredOn = "2026-03-20",
             .settledAt = kSettled,
             .price = 100,
             .issued = 1234,
             .delivered = 1234});
}

SlipRecord load(const QString& no = kNo) {
    std::optional<SlipRecord> r = LoadSlipRecord(no);
    if (!r)
        throw AppError(QStringLiteral("slip missing"));
    return *r;
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
    void requiredFieldsInScreenOrder() {
        SlipInput in;
        QCOMPARE(CheckRequired(in), SlipField::Pno);
        in.pno = QStringLiteral("P");
        in.person = QStringLiteral("N"); // present, but 作業コード comes first
        QCOMPARE(CheckRequired(in), SlipField::WNo);
        in.wno = QStringLiteral("W");
        in.requestDate = QStringLiteral("  ");
        QCOMPARE(CheckRequired(in), SlipField::RequestDate);
        in.person.clear();
        QCOMPARE(CheckRequired(in), SlipField::Person);
        in.person = QStringLiteral("N");
        in.requestDate = QStringLiteral("2026/04/01");
        QCOMPARE(CheckRequired(in), SlipField::None);
    }

    void statusChangesAgainstTheLoadedSlip() {
        const SlipStatus fresh; // add mode: not settled, not deleted
        QVERIFY(deletionChanged(fresh, true));
        QVERIFY(!deletionChanged(fresh, false));
        QVERIFY(settlementDateChanged(fresh, QStringLiteral("2026/04/01")));
        QVERIFY(!settlementDateChanged(fresh, QStringLiteral(" ")));
        const SlipStatus settledDeleted{QStringLiteral("2026/03/31"), true};
        SlipInput in;
        in.settlementDate = QStringLiteral("2026/03/31");
        in.deleted = true;
        QVERIFY(!statusChanged(settledDeleted, in));
        in.deleted = false;
        QVERIFY(statusChanged(settledDeleted, in));
        in.deleted = true;
        in.settlementDate.clear();
        QVERIFY(statusChanged(settledDeleted, in));
    }

    void shownPriceAndQuestions() {
        TestDatabase db;
        addSettledSlip();
        addLine(2, QStringLiteral("P-200"), QStringLiteral("W1"), QStringLiteral("N01"), 12.5,
                QStringLiteral("2026/01/01"));
        SlipInput in;
        in.pno = QStringLiteral("P-200");
        in.wno = QStringLiteral("W1");
        in.person = QStringLiteral("N01");
        in.requestDate = QStringLiteral("2026/04/01");
        in.issued = QStringLiteral("1,234");
        SlipPriceView v = slipPriceView(in, nullptr);
        QVERIFY(v.found);
        QCOMPARE(v.price, QStringLiteral("12.500"));
        QCOMPARE(v.total, QStringLiteral("15,425"));
        QCOMPARE(slipSaveQuestion(in, nullptr), SlipQuestion::Add);
        QCOMPARE(slipTotalText(QStringLiteral("3"), QStringLiteral("0.500")),
                 QStringLiteral("2")); // 1.5 shown rounds away from zero

        in.requestDate = QStringLiteral("2025/12/31"); // before the first line
        v = slipPriceView(in, nullptr);
        QVERIFY(!v.found);
        QCOMPARE(v.price, QStringLiteral("0.000"));
        QCOMPARE(v.total, QStringLiteral("0"));
        QCOMPARE(slipSaveQuestion(in, nullptr), SlipQuestion::RegisterPrice);

        // A settled slip shows what it was paid and asks no price question,
        // even with no line in force; emptied, it is priced afresh.
        const SlipRecord loaded = load();
        in = loaded.input();
        execSql(QStringLiteral("UPDATE tanka_m SET 削除フラグ = 1"));
        v = slipPriceView(in, &loaded);
        QCOMPARE(v.price, QStringLiteral("100.000"));
        QCOMPARE(v.total, QStringLiteral("123,400"));
        QCOMPARE(slipSaveQuestion(in, &loaded), SlipQuestion::Update);
        in.deleted = true;
        QCOMPARE(slipSaveQuestion(in, &loaded), SlipQuestion::StatusChange);
        in.settlementDate.clear();
        QCOMPARE(slipSaveQuestion(in, &loaded), SlipQuestion::RegisterPrice);

        in.requestDate = QStringLiteral("2026/02/30");
        QCOMPARE(failureOf([&] { slipPriceView(in, &loaded); }), ConventionText::BadDate);
    }

    void loadShowsTheSlipAsStored() {
        TestDatabase db;
        addSettledSlip();
        const SlipRecord r = load();
        QCOMPARE(r.pnoItem.left(21),
                 QStringLiteral("P-100") + QString(15, QLatin1Char(' ')) + QChar(0x3000));
        QVERIFY(r.personItem.contains(QStringLiteral("山田花子")));
        QCOMPARE(r.issued, QStringLiteral("1,234"));
        QCOMPARE(r.storedPrice, UnitPrice::fromDb(100));
        QCOMPARE(r.requestDate, QStringLiteral("2026/03/10"));
        QCOMPARE(r.settlementDate, QStringLiteral("2026/03/31"));
        QCOMPARE(r.settledAt, QDateTime(QDate(2026, 3, 31), QTime(17, 45, 12)));
        QVERIFY(r.settled());
        QVERIFY(!LoadSlipRecord(QStringLiteral("260310-002")));
    }

    void insertStoresTheSlipAsTyped() {
        TestDatabase db; // 2026-04-01 09:30:00, employee E001
        addLine(1, QStringLiteral("P-100"), QStringLiteral("W1"), QStringLiteral("N01"), 12.5,
                QStringLiteral("2026/01/01"));
        SlipInput in;
        in.pno = QStringLiteral("P-100");
        in.wno = QStringLiteral("W1");
        in.person = QStringLiteral("N01");
        in.workKind = QStringLiteral("袋詰め'%");
        in.requestDate = QStringLiteral("2026/03/15");
        in.issued = QStringLiteral("1,234");
        in.remark =
            QStringLiteral("O'Brien; DROP TABLE seihin_t -- 100%") + QString(20, QChar(0x3042));
        in.settlementDate = QStringLiteral("2026/03/31");
        const QString no = InsertSlip(in);
        QCOMPARE(no, QStringLiteral("260401-001"));
        QCOMPARE(column(no, "精算単価").toDouble(), 12.5);
        QCOMPARE(column(no, "作業区分").toString(), in.workKind);
        QCOMPARE(column(no, "払出数量").toLongLong(), qint64(1234));
        QCOMPARE(column(no, "依頼日").toString(), QStringLiteral("2026-03-15"));
        QVERIFY(column(no, "納入日").isNull());
        // 50 bytes: the text's 36 and seven full-width characters.
        QCOMPARE(column(no, "備考").toString(), in.remark.left(36 + 7));
        QCOMPARE(column(no, "精算日時").toString(), QStringLiteral("2026-03-31 00:00:00"));
        QCOMPARE(column(no, "最終更新日時").toString(), QStringLiteral("2026-04-01 09:30:00"));
        QCOMPARE(column(no, "社員コード").toString(), QStringLiteral("E001"));

        in.requestDate = QStringLiteral("2025/12/31"); // no price yet: stored as 0
        QCOMPARE(column(InsertSlip(in), "精算単価").toDouble(), 0.0);
        in.requestDate.clear();
        QCOMPARE(failureOf([&] { InsertSlip(in); }), ConventionText::Required);
    }

    void updateKeepsASettledSlipsStampAndPrice() {
        TestDatabase db;
        addSettledSlip();
        const SlipRecord loaded = load();
        SlipInput in = loaded.input();
        in.remark = QStringLiteral("再検品");
        gEmpCode = QStringLiteral("E777");
        UpdateSlip(in, loaded);
        QCOMPARE(column(kNo, "精算日時").toString(), kSettled);
        QCOMPARE(column(kNo, "精算単価").toDouble(), 100.0);
        QCOMPARE(column(kNo, "備考").toString(), in.remark);
        QCOMPARE(column(kNo, "社員コード").toString(), QStringLiteral("E777"));

        // Another day: still settled, at 00:00:00 of that day, same price.
        in.settlementDate = QStringLiteral("2026/04/02");
        UpdateSlip(in, load());
        QCOMPARE(column(kNo, "精算日時").toString(), QStringLiteral("2026-04-02 00:00:00"));
        QCOMPARE(column(kNo, "精算単価").toDouble(), 100.0);

        // Emptied: Null, and priced at what is in force now.
        in.settlementDate.clear();
        UpdateSlip(in, load());
        QVERIFY(column(kNo, "精算日時").isNull());
        QCOMPARE(column(kNo, "精算単価").toDouble(), 120.0);
    }

    void updateStopsWhenTheSettlementChangedMeanwhile() {
        TestDatabase db;
        addSettledSlip();
        addSlip({.no = "260310-002"});
        for (const QString& no : {kNo, QStringLiteral("260310-002")}) {
            const SlipRecord loaded = load(no);
            SlipInput in = loaded.input();
            in.remark = QStringLiteral("上書き");
            // Cancelled for the settled slip, settled for the other one.
            execSql(QStringLiteral("UPDATE seihin_t SET 精算日時 = ? WHERE 製品伝票番号 = ?"),
                    {loaded.settled() ? QVariant(QMetaType::fromType<QString>())
                                      : QVariant(QStringLiteral("2026-04-01 10:00:00")),
                     no});
            QCOMPARE(failureOf([&] { UpdateSlip(in, loaded); }), SlipText::SettledElsewhere);
            QCOMPARE(column(no, "備考").toString(), QString());
        }
    }

    void updateRepricesAnUnsettledSlipAndStopsOnALookupFailure() {
        TestDatabase db;
        addSettledSlip();
        addSlip({.no = "260310-002", .price = 100});
        const SlipRecord loaded = load(QStringLiteral("260310-002"));
        SlipInput in = loaded.input();
        in.settlementDate = QStringLiteral("2026/04/01"); // settled by hand
        UpdateSlip(in, loaded);
        QCOMPARE(column(loaded.slipNo, "精算単価").toDouble(), 120.0);
        QCOMPARE(column(loaded.slipNo, "精算日時").toString(),
                 QStringLiteral("2026-04-01 00:00:00"));

        const SlipRecord again = load(loaded.slipNo);
        in.remark = QStringLiteral("失われない");
        execSql(QStringLiteral("DROP TABLE tanka_m"));
        in.settlementDate.clear();
        QVERIFY_THROWS_EXCEPTION(DbError, UpdateSlip(in, again));
        QCOMPARE(column(loaded.slipNo, "備考").toString(), QString());
        QVERIFY(!column(loaded.slipNo, "精算日時").isNull());
    }

    void slipExistsForTheDeliveryScreen() {
        TestDatabase db;
        addSlip({.no = kNo});
        addSlip({.no = "260310-002", .deleted = true});
        QVERIFY(SlipExists(kNo));
        QVERIFY(SlipExists(kNo + QStringLiteral(" ")));
        QVERIFY(SlipExists(QStringLiteral("260310-002")));
        QVERIFY(!SlipExists(QStringLiteral("260310-999")));
        QVERIFY(!SlipExists(QString()));
        QCOMPARE(SlipText::notRegistered(QStringLiteral("260310-999")),
                 QStringLiteral("伝票(260310-999)は登録されていません。"));
        DBClose();
        QVERIFY_THROWS_EXCEPTION(DbError, SlipExists(kNo));
    }
};

QTEST_GUILESS_MAIN(TestSlipEntry)
#include "test_slip_entry.moc"
