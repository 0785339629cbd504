#include "core/apperror.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "prices/pricefixtures.h"
#include "prices/priceinput.h"
#include "prices/pricelist.h"
#include "prices/pricelookup.h"
#include "prices/pricestore.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"
#include "support/writercopies.h"

#include <QTest>

using PriceFixtures::addLine;
using TestRuns::rows;

namespace {

const QString kP = "P-100";
const QString kW = "W1";
const QString kN = "N01";

PriceInput input(const QString& price, const QString& start, const QString& end = QString()) {
    return {.pno = kP,
            .wno = kW,
            .person = kN,
            .priceText = price,
            .startText = start,
            .endText = end,
            .remark = {}};
}

QString listed(const QList<PriceListRow>& rows) {
    QStringList out;
    for (const PriceListRow& r : rows)
        out << QString::number(r.serial);
    return out.join(QLatin1Char(' '));
}

// An existing line, written "start~end~flags" where flags may hold "d"
// (deleted) and "o" (other combination).
void addExisting(qint64 serial, const QString& line) {
    const QStringList f = line.split(QLatin1Char('~'));
    const QString flags = f.value(2);
    const QString person = flags.contains(QLatin1Char('o')) ? "N02" : "N01";
    addLine(serial, "P-100", "W1", person, 100.0, f.value(0), f.value(1),
            flags.contains(QLatin1Char('d')));
}

// The first failure of an input and the field it focuses, or "ok".
QString checked(const PriceInput& in) {
    static const char* const fields[] = {"", "pno", "wno", "person", "price", "start", "end"};
    try {
        const PriceCheck c = CheckPriceInput(in);
        return c.ok() ? "ok" : c.message + " @" + fields[int(c.focus)];
    } catch (const DbError&) {
        return "needs the database";
    }
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

class TestPrices : public QObject {
    Q_OBJECT
  private slots:
    // Required fields, dates and their order, all refused before the
    // database is asked; a sound input goes on to the collision check.
    void inputIsCheckedFieldByFieldBeforeTheDatabase() {
        TestDatabase db;
        DBClose(); // any query now would throw
        const QString d = goldenCases("check-input.txt", [](const QStringList& f) {
            QStringList v = f;
            for (QString& field : v)
                field = field == "-" ? QString() : field.replace('_', ' ');
            return checked({.pno = v[0],
                            .wno = v[1],
                            .person = v[2],
                            .priceText = v[3],
                            .startText = v[4],
                            .endText = v[5],
                            .remark = {}});
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void periodCollision() {
        const QString d = goldenCases("period-collision.txt", [](const QStringList& f) -> QString {
            TestDatabase db;
            const QStringList existing = f.value(1).split(' ', Qt::SkipEmptyParts);
            for (int i = 0; i < existing.size(); ++i)
                addExisting(i + 1, existing[i]);
            const QStringList typed = f.value(2).split(' ');
            PriceInput in = input("1,250.500", typed[2], typed[3] == "-" ? QString() : typed[3]);
            in.mode = typed[0] == "a"   ? EditMode::Add
                      : typed[0] == "c" ? EditMode::Copy
                                        : EditMode::Edit;
            in.serial = typed[1].toLongLong();
            in.deleted = typed[0] == "d";
            const QString result = checked(in);
            in.deleted = true; // adding a line marked deleted is still checked
            if (in.mode == EditMode::Add && checked(in) != result)
                return result + " (unchecked when deleted)";
            return result;
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

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
        // The remark is cut to 50 bytes: nine full-width characters fit, the
        // tenth would straddle the limit and its blank is trimmed.
        QCOMPARE(rows("SELECT 単価, 適用開始日, 最終更新日時, 社員コード, 削除フラグ, 備考 FROM"
                      " tanka_m WHERE 単価シリアル = ? AND 適用終了日 IS NULL",
                      {serial}),
                 QStringList{"1234.5|2003-04-01|2026-04-01 09:30:00|E001|1|" + quoted +
                             QString(9, QChar(0x3042))});
    }

    void editRewritesTheLineAndRecordsCarryTheNames() {
        TestDatabase db;
        PriceFixtures::addMasters();
        addLine(7, kP, kW, kN, 100, "2003/04/01", "2003/09/30");
        addLine(3, "P-200", "W2", "N02", 1234.5, "2003/04/01", "2003/12/31", true, "メモ");
        gEmpCode = "E777";
        PriceInput in = input("99.125", "2003/04/02");
        std::tie(in.mode, in.serial, in.remark) = std::tuple(EditMode::Edit, 7, "改定");
        SavePriceEdit(in);
        std::optional<PriceRecord> r = LoadPriceRecord(7);
        QVERIFY(r && !r->end.isValid());
        QCOMPARE(r->priceText + FormatDate(r->start) + r->remark, "99.1252003/04/02改定");
        QCOMPARE(rows("SELECT 社員コード, 単価 FROM tanka_m WHERE 単価シリアル = 7"),
                 QStringList{"E777|99.125"});
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

        // An ended line is still the latest start: its end is not consulted.
        const auto found = [](QDate day, const QString& wno) {
            const PriceLookupResult r = lookupPrice(day, kP, wno, kN);
            return r.text() + (r.found ? "" : " not found");
        };
        QCOMPARE(found(QDate(2003, 9, 30), kW), "100.000");
        QCOMPARE(found(QDate(2003, 10, 1), kW), "120.000");
        QCOMPARE(found(QDate(2003, 3, 31), kW), "0.000 not found");
        QCOMPARE(found(QDate(2003, 9, 30), "W2"), "50.000");
        execSql("UPDATE tanka_m SET 削除フラグ = 1 WHERE 単価シリアル = 1");
        QCOMPARE(found(QDate(2003, 9, 30), kW), "0.000 not found");
    }

    void lookupFailuresStopTheCaller() {
        TestDatabase db;
        addLine(1, kP, kW, kN, 100, "2003/04/01");
        QVERIFY_THROWS_EXCEPTION(AppError, lookupPrice(QDate(), kP, kW, kN));
        execSql("DROP TABLE tanka_m");
        QVERIFY_THROWS_EXCEPTION(DbError, lookupPrice(QDate(2003, 9, 30), kP, kW, kN));
        DBClose();
        QVERIFY_THROWS_EXCEPTION(DbError, lookupPrice(QDate(2003, 9, 30), kP, kW, kN));
    }

    void twoProgramsSavingAtOnceWaitForEachOther() {
        TestDatabase t;
        for (const QString& report : WriterCopies::run(t.path(), 2))
            QVERIFY2(report == "0", qPrintable(report));
        // Every save got a serial of its own, none skipped.
        QCOMPARE(rows("SELECT COUNT(*) AS n, COUNT(DISTINCT 単価シリアル) AS serials,"
                      " MAX(単価シリアル) AS top FROM tanka_m"),
                 QStringList{QStringLiteral("%1|%1|%1").arg(2 * kSavesPerWriter)});
    }

    void listHidesDeletedAndSupersededLines() {
        TestDatabase db;
        PriceFixtures::addMasters();
        const QDate today = QDate(2003, 11, 15);
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

        // Serials as listed: by combination, the latest start first. With deleted
        // lines shown, the deleted newest line hides the current one.
        QCOMPARE(listed(loadPriceRows(false, false, today)), "7 2 1 4 3 5 6");
        QCOMPARE(listed(loadPriceRows(true, false, today)), "2 1 4 3 5 6");
        QCOMPARE(listed(loadPriceRows(true, true, today)), "2 4 6");
        QCOMPARE(listed(loadPriceRows(false, true, today)), "7 4 6");
        // Seen earlier, line 2 is still to come and hides line 1; both lines of
        // B lie ahead; C's line 5 has not ended yet.
        QCOMPARE(listed(loadPriceRows(true, true, QDate(2003, 9, 1))), "2 4 3 5 6");

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
    TestPrices test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_prices.moc"
