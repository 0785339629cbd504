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

// An existing line, written "start|end|flags" where flags may hold "d"
// (deleted) and "o" (other combination).
void addExisting(qint64 serial, const QString& line) {
    const QStringList f = line.split(QLatin1Char('|'));
    const QString flags = f.value(2);
    const QString person = flags.contains(QLatin1Char('o')) ? "N02" : "N01";
    addLine(serial, "P-100", "W1", person, 100.0, f.value(0), f.value(1),
            flags.contains(QLatin1Char('d')));
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
    void periodCollision() {
        // Existing lines (serials 1, 2, ... in order) as "start|end|flags"; the
        // input as "mode serial start end", mode a(dd), e(dit), c(opy) or d
        // (edit marked deleted) and "-" for no end; whether it collides.
        const QStringList closed{"2003/04/01|2003/09/30|"}, open{"2003/04/01||"},
            later{"2003/10/01||"}, laterClosed{"2003/10/01|2003/12/31|"},
            two{"2003/04/01|2003/09/30|", "2003/10/01||"},
            gap{"2003/04/01|2003/04/30|", "2003/05/02||"};
        const std::tuple<const char*, QStringList, const char*, bool> cases[] = {
            {"after a closed line", closed, "a 0 2003/10/01 -", false},
            {"starting on the older line's end", closed, "a 0 2003/09/30 2003/12/31", true},
            {"inside a closed line", closed, "a 0 2003/05/01 2003/05/31", true},
            {"after an open line", open, "a 0 2003/10/01 -", false},
            {"same start as an open line", open, "a 0 2003/04/01 -", true},
            {"same start, with an end", open, "a 0 2003/04/01 2003/04/30", true},
            {"before an open line", open, "a 0 2003/01/01 2003/03/31", false},
            {"end on the next start", later, "a 0 2003/04/01 2003/10/01", true},
            {"end on a closed next start", laterClosed, "a 0 2003/04/01 2003/10/01", true},
            {"end the day before", later, "a 0 2003/04/01 2003/09/30", false},
            {"end the day before a closed one", laterClosed, "a 0 2003/04/01 2003/09/30", false},
            {"no end before a later line", later, "a 0 2003/04/01 -", false},
            {"no end before a closed one", laterClosed, "a 0 2003/04/01 -", false},
            {"one-day period between two lines", gap, "a 0 2003/05/01 2003/05/01", false},
            {"deleted line takes no part", {"2003/04/01||d"}, "a 0 2003/04/01 -", false},
            {"other combination takes no part",
             {"2003/04/01||o"},
             "a 0 2003/04/01 2003/12/31",
             false},
            {"editing keeps its own dates", two, "e 1 2003/04/01 2003/09/30", false},
            {"editing an open line", two, "e 2 2003/10/01 -", false},
            {"editing into the next line", two, "e 1 2003/04/01 2003/10/01", true},
            {"copying meets its source", two, "c 1 2003/04/01 2003/09/30", true},
            {"copying an open line", two, "c 2 2003/10/01 -", true},
            {"marking deleted skips the check", two, "d 1 2003/10/01 -", false},
        };
        for (const auto& [name, existing, typed, collides] : cases) {
            TestDatabase db;
            for (int i = 0; i < existing.size(); ++i)
                addExisting(i + 1, existing[i]);
            const QStringList f = QString::fromLatin1(typed).split(' ');
            PriceInput in = input("1,250.500", f[2], f[3] == "-" ? QString() : f[3]);
            in.mode = f[0] == "a" ? EditMode::Add : f[0] == "c" ? EditMode::Copy : EditMode::Edit;
            in.serial = f[1].toLongLong();
            in.deleted = f[0] == "d";
            const PriceCheck check = CheckPriceInput(in);
            QVERIFY2(collides ? check.message == "適用日付に重複があります。" &&
                                    check.focus == PriceField::Start
                              : check.ok(),
                     name);
            in.deleted = true; // adding a line marked deleted is still checked
            QVERIFY2(in.mode != EditMode::Add || CheckPriceInput(in).ok() == check.ok(), name);
        }
    }

    void requiredFieldsAreCheckedInScreenOrder() {
        TestDatabase db;
        struct Step {
            QString PriceInput::*field;
            PriceField focus;
        };
        const QList<Step> steps{{&PriceInput::pno, PriceField::Pno},
                                {&PriceInput::wno, PriceField::WNo},
                                {&PriceInput::person, PriceField::Person},
                                {&PriceInput::priceText, PriceField::Mon},
                                {&PriceInput::startText, PriceField::Start}};
        PriceInput in;
        in.endText = "2003/01/01"; // reversed too, but reported later
        const PriceInput full = input("1,250.500", "2003/04/01");
        for (const Step& s : steps) {
            const PriceCheck check = CheckPriceInput(in);
            QCOMPARE(check.message, "入力必須項目です。");
            QCOMPARE(check.focus, s.focus);
            in.*s.field = full.*s.field;
        }
        QCOMPARE(CheckPriceInput(in).message, "日付の大小関係に誤りがあります。");
        in.endText.clear();
        QVERIFY(CheckPriceInput(in).ok());

        in.pno = "   "; // blanks are no code
        QCOMPARE(CheckPriceInput(in).focus, PriceField::Pno);
    }

    void malformedDatesAndTheirOrderAreRefusedBeforeTheDatabase() {
        TestDatabase db;
        PriceInput in = input("1,250.500", "2003/02/30");
        QCOMPARE(CheckPriceInput(in).message, "日付の入力に誤りがあります。");
        QCOMPARE(CheckPriceInput(in).focus, PriceField::Start);
        in = input("1,250.500", "2003/04/01", "20031231");
        QCOMPARE(CheckPriceInput(in).focus, PriceField::End);
        in = input("1,250.500", "2003/10/01", "2003/09/30");
        DBClose(); // any query now would throw
        const PriceCheck check = CheckPriceInput(in);
        QCOMPARE(check.message, "日付の大小関係に誤りがあります。");
        QCOMPARE(check.focus, PriceField::Start);
        in.endText = in.startText; // a one-day period is fine, but needs the database
        QVERIFY_THROWS_EXCEPTION(DbError, CheckPriceInput(in));
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
