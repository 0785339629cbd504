#include "core/apperror.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "prices/pricefixtures.h"
#include "prices/pricelist.h"
#include "prices/pricelookup.h"
#include "prices/pricestore.h"
#include "support/testdatabase.h"
#include "support/writercopies.h"

#include <QSet>
#include <QTest>

using PriceFixtures::addLine;

namespace {

const QString kP = "P-100";
const QString kW = "W1";
const QString kN = "N01";

QDate ymd(int y, int m, int d) {
    return QDate(y, m, d);
}

PriceInput input(const QString& price, const QString& start, const QString& end = QString()) {
    PriceInput in;
    in.pno = kP;
    in.wno = kW;
    in.person = kN;
    in.priceText = price;
    in.startText = start;
    in.endText = end;
    return in;
}

QString listed(const QList<PriceListRow>& rows) {
    QStringList out;
    for (const PriceListRow& r : rows)
        out << QStringLiteral("%1:%2").arg(r.serial).arg(r.start);
    return out.join(QLatin1Char(' '));
}

constexpr int kSavesPerWriter = 300;

// One copy's part of the race: saves price lines as fast as it can.
void saveLinesConcurrently(const QString& path, int index) {
    DBOpenPath(path);
    gEmpCode = "E001";
    WriterCopies::reportFailures(kSavesPerWriter, [index](int i) {
        PriceInput in = input("1.000", "2003/01/01");
        in.person = index == 0 ? "N01" : "N02";
        in.remark = QString::number(i);
        SavePriceNew(in);
    });
}

} // namespace

class TestPriceData : public QObject {
    Q_OBJECT
  private slots:
    void serialsFollowTheLargestEverGiven() {
        TestDatabase db;
        QCOMPARE(nextPriceSerial(), qint64(1));
        QCOMPARE(SavePriceNew(input("10.000", "2003/04/01")), qint64(1));
        addLine(2, kP, kW, "N02", 1, "2003/04/01");
        addLine(5, kP, kW, "N03", 1, "2003/04/01", QString(), true);
        QCOMPARE(nextPriceSerial(), qint64(6)); // the gap stays, the deleted 5 counts
        addLine(32767, kP, "W2", kN, 1, "2003/04/01");
        QCOMPARE(SavePriceNew(input("1", "2004/04/01")), qint64(32768));
        addLine(5000000000LL, kP, "W3", kN, 1, "2003/04/01");
        QCOMPARE(nextPriceSerial(), qint64(5000000001LL));
    }

    void newLinesStoreBoundValuesAndAudit() {
        TestDatabase db; // clock fixed at 2026-04-01 09:30:00, employee E001
        PriceInput in = input("1,234.500", "2003/04/01");
        const QString quoted = "O'Brien; DROP TABLE tanka_m -- "; // 31 bytes
        in.remark = quoted + QString(40, QChar(0x3042));
        in.deleted = true;
        const qint64 serial = SavePriceNew(in);
        SqlQuery q("SELECT * FROM tanka_m WHERE 単価シリアル = ?");
        q.bind(serial).exec();
        QVERIFY(q.next());
        QCOMPARE(q.num("単価"), 1234.5);
        QCOMPARE(q.str("適用開始日"), "2003-04-01");
        QVERIFY(q.isNull("適用終了日"));
        QCOMPARE(q.str("最終更新日時"), "2026-04-01 09:30:00");
        QCOMPARE(q.str("社員コード"), "E001");
        QCOMPARE(q.integer("削除フラグ"), qint64(1));
        // Cut to 50 bytes: nine full-width characters fit, the tenth would
        // straddle the limit and its blank is trimmed.
        QCOMPARE(q.str("備考"), quoted + QString(9, QChar(0x3042)));
    }

    void editRewritesTheLineAndRecordsCarryTheNames() {
        TestDatabase db;
        PriceFixtures::addMasters();
        addLine(7, kP, kW, kN, 100, "2003/04/01", "2003/09/30");
        addLine(3, "P-200", "W2", "N02", 1234.5, "2003/04/01", "2003/12/31", true, "メモ");
        gEmpCode = "E777";
        PriceInput in = input("99.125", "2003/04/02");
        in.mode = EditMode::Edit;
        in.serial = 7;
        in.remark = "改定";
        SavePriceEdit(in);
        std::optional<PriceRecord> r = LoadPriceRecord(7);
        QVERIFY(r && !r->end.isValid());
        QCOMPARE(r->priceText + FormatDate(r->start) + r->remark, "99.1252003/04/02改定");
        SqlQuery q("SELECT 社員コード, 単価 FROM tanka_m WHERE 単価シリアル = 7");
        q.exec();
        QVERIFY(q.next());
        QCOMPARE(q.str("社員コード"), "E777");
        QCOMPARE(q.num("単価"), 99.125);
        in.serial = 8;
        QVERIFY_THROWS_EXCEPTION(AppError, SavePriceEdit(in));

        r = LoadPriceRecord(3);
        QVERIFY(r && r->deleted);
        QCOMPARE(
            QStringList({r->pnoName, r->workName, r->personName, r->priceText, FormatDate(r->end)}),
            (QStringList{"カバー", "検査", "佐藤一郎", "1,234.500", "2003/12/31"}));
        QVERIFY(!LoadPriceRecord(4));
    }

    void lookupTakesTheLatestLiveStart() {
        TestDatabase db;
        addLine(1, kP, kW, kN, 100, "2003/04/01");
        addLine(2, kP, kW, kN, 120, "2003/10/01");
        addLine(3, kP, kW, "N02", 999, "2003/01/01");
        addLine(4, kP, "W2", kN, 50, "2003/01/01", "2003/06/30");

        PriceLookupResult r = lookupPrice(ymd(2003, 9, 30), kP, kW, kN);
        QVERIFY(r.found);
        QCOMPARE(r.text(), "100.000");
        QCOMPARE(lookupPrice(ymd(2003, 10, 1), kP, kW, kN).text(), "120.000");
        r = lookupPrice(ymd(2003, 3, 31), kP, kW, kN);
        QVERIFY(!r.found);
        QCOMPARE(r.text(), "0.000");

        // An ended line is still the latest start: its end is not consulted.
        QCOMPARE(lookupPrice(ymd(2003, 9, 30), kP, "W2", kN).text(), "50.000");

        execSql("UPDATE tanka_m SET 削除フラグ = 1 WHERE 単価シリアル = 1");
        QVERIFY(!lookupPrice(ymd(2003, 9, 30), kP, kW, kN).found);
    }

    void lookupFailuresStopTheCaller() {
        TestDatabase db;
        addLine(1, kP, kW, kN, 100, "2003/04/01");
        QVERIFY_THROWS_EXCEPTION(AppError, lookupPrice(QDate(), kP, kW, kN));
        execSql("DROP TABLE tanka_m");
        QVERIFY_THROWS_EXCEPTION(DbError, lookupPrice(ymd(2003, 9, 30), kP, kW, kN));
        DBClose();
        QVERIFY_THROWS_EXCEPTION(DbError, lookupPrice(ymd(2003, 9, 30), kP, kW, kN));
    }

    void twoProgramsSavingAtOnceWaitForEachOther() {
        TestDatabase t;
        for (const QString& report : WriterCopies::run(t.path(), 2))
            QVERIFY2(report == "0", qPrintable(report));
        SqlQuery q("SELECT 単価シリアル FROM tanka_m");
        q.exec();
        QSet<qint64> serials;
        int rows = 0;
        while (q.next()) {
            serials.insert(q.integer("単価シリアル"));
            ++rows;
        }
        QCOMPARE(rows, 2 * kSavesPerWriter);
        QCOMPARE(serials.size(), rows);
        QCOMPARE(*std::max_element(serials.begin(), serials.end()), qint64(rows));
    }

    void listHidesDeletedAndSupersededLines() {
        TestDatabase db;
        PriceFixtures::addMasters();
        const QDate today = ymd(2003, 11, 15);
        // Combination A: an older line, the current one.
        addLine(1, kP, kW, kN, 100, "2003/04/01");
        addLine(2, kP, kW, kN, 110, "2003/10/01");
        // Combination B: current, and a future line above it.
        addLine(3, kP, kW, "N02", 100, "2003/10/01");
        addLine(4, kP, kW, "N02", 130, "2004/01/01");
        // Combination C: ended yesterday / ending today.
        addLine(5, "P-200", kW, kN, 1, "2003/01/01", "2003/11/14");
        addLine(6, "P-200", "W2", kN, 1, "2003/01/01", "2003/11/15");
        // Deleted line, the newest of combination A.
        addLine(7, kP, kW, kN, 200, "2003/11/01", QString(), true);

        QCOMPARE(listed(loadPriceRows(false, false, today)),
                 QStringLiteral("7:2003/11/01 2:2003/10/01 1:2003/04/01 "
                                "4:2004/01/01 3:2003/10/01 5:2003/01/01 6:2003/01/01"));
        QCOMPARE(listed(loadPriceRows(true, false, today)),
                 QStringLiteral("2:2003/10/01 1:2003/04/01 4:2004/01/01 3:2003/10/01 "
                                "5:2003/01/01 6:2003/01/01"));
        QCOMPARE(listed(loadPriceRows(true, true, today)),
                 "2:2003/10/01 4:2004/01/01 6:2003/01/01");
        // With deleted lines shown, the deleted newest line hides the current one.
        QCOMPARE(listed(loadPriceRows(false, true, today)),
                 "7:2003/11/01 4:2004/01/01 6:2003/01/01");
        // Seen earlier, line 2 is still to come and hides line 1; both lines of
        // B lie ahead; C's line 5 has not ended yet.
        QCOMPARE(listed(loadPriceRows(true, true, ymd(2003, 9, 1))),
                 QStringLiteral("2:2003/10/01 4:2004/01/01 3:2003/10/01 "
                                "5:2003/01/01 6:2003/01/01"));

        const QList<PriceListRow> all = loadPriceRows(false, false, today);
        QCOMPARE(all[0].cells(), (QStringList{"7", "P-100", "W1", "組立", "N01", "山田花子",
                                              "200.000", "2003/11/01", "", "", "削除"}));
        QCOMPARE(all[6].cells()[8], "2003/11/15");
        QCOMPARE(all[6].cells()[10], QString());
    }
};

int main(int argc, char** argv) {
    if (int code = 0; WriterCopies::runIfCopy(saveLinesConcurrently, code))
        return code;
    QCoreApplication app(argc, argv);
    TestPriceData test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_price_data.moc"
