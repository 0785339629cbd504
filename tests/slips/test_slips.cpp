#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/session.h"
#include "slips/slipentry.h"
#include "slips/slipfixtures.h"
#include "slips/slipnumber.h"
#include "slips/slipprintdata.h"
#include "slips/slipstore.h"
#include "slips/sliptexts.h"
#include "support/golden.h"
#include "support/testdatabase.h"
#include "support/testruns.h"
#include "support/writercopies.h"

#include <QTest>

using PriceFixtures::addLine;
using SlipFixtures::addSlip;
using SlipFixtures::column;
using SlipFixtures::printedSlip;
using SlipFixtures::Slip;

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

// A slip's stamp, price and remark as "stamp|price|remark".
QString stamped(const QString& no = kNo) {
    return TestRuns::rows("SELECT 精算日時, 精算単価, 備考 FROM seihin_t WHERE 製品伝票番号 = ?",
                          {no})
        .value(0);
}

const QDateTime kNow(QDate(2026, 4, 1), QTime(9, 30, 0)); // numbers start 260401-
const SlipInput kSlip{
    .pno = "P-100", .wno = "W1", .person = "N01", .requestDate = "2026/04/01", .issued = "10"};
// On a server the race runs at full length; a file's copies take turns on
// one lock, so half of it shows the same there.
int savesPerWriter() {
    return TestDatabase::onServer() ? 300 : 150;
}

// One copy's part of the race: issues slips as fast as it can.
void issueSlipsConcurrently(const QString& path, int) {
    Clock::setFixed(kNow);
    openDatabase(path);
    gEmpCode = "E001";
    WriterCopies::reportFailures(savesPerWriter(), [](int) { InsertSlip(kSlip); });
}

} // namespace

class TestSlips : public QObject {
    Q_OBJECT
  private slots:
    void shownPriceAndQuestion() {
        TestDatabase db;
        addSlips();
        addLine(2, "P-200", "W1", "N01", 12.5, "2026/01/01");
        addLine(3, "P-300", "W1", "N01", 0.5, "2026/01/01");
        const SlipRecord loaded = load();
        const QString d = goldenCases("slip-price-view.txt", [&loaded](const QStringList& f) {
            const SlipRecord* was = f[0] == "settled" ? &loaded : nullptr;
            SlipInput in = was ? loaded.input() : SlipInput{.wno = "W1", .person = "N01"};
            in.pno = f[1];
            in.requestDate = f[2];
            in.issued = f[3];
            in.settlementDate = f[4] == "-" ? "" : f[4];
            in.deleted = f[5] == "yes";
            const char* questions[] = {"RegisterPrice", "Add", "Update", "StatusChange"};
            QString shown;
            const QString error = TestRuns::errorOf([&] {
                const SlipPriceView v = slipPriceView(in, was);
                shown = v.price + " " + v.total + ", " + questions[int(slipSaveQuestion(in, was))];
            });
            return shown.isEmpty() ? error : shown;
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void insertStoresWhatWasTyped() {
        TestDatabase db; // 2026-04-01 09:30:00, employee E001
        addLine(1, "P-100", "W1", "N01", 12.5, "2026/01/01");
        SlipInput in{.pno = "P-100",
                     .wno = "W1",
                     .person = "N01",
                     .workKind = "袋詰め'%1234567890あ", // 20 bytes, the limit
                     .requestDate = "2026/03/15",
                     .issued = "1,234",
                     .remark = "O'Brien; DROP TABLE seihin_t -- 100%" + QString(20, QChar(0x3042)),
                     .settlementDate = "2026/03/31"};
        const QString no = InsertSlip(in);
        QCOMPARE(no, QStringLiteral("260401-001"));
        // The remark is cut to 50 bytes.
        QCOMPARE(TestRuns::rows("SELECT 精算単価, 作業区分, 払出数量, 依頼日, 備考, 精算日時,"
                                " 最終更新日時, 社員コード FROM seihin_t"),
                 QStringList{"12.5|袋詰め'%1234567890あ|1234|2026-03-15|" + in.remark.left(36 + 7) +
                             "|2026-03-31 00:00:00|2026-04-01 09:30:00|E001"});
        QVERIFY(column(no, "納入日").isNull());
    }

    // Saving a loaded slip with its settlement date kept, moved or emptied,
    // or after another program settled or cancelled it meanwhile.
    void update() {
        TestDatabase db;
        addSlips();
        QVERIFY(load().personItem.contains(QStringLiteral("山田花子")));
        QStringList log;
        const auto save = [&](const QString& no, const QString& date,
                              std::optional<QString> meanwhile = {}) {
            const SlipRecord loaded = load(no);
            SlipInput in = loaded.input();
            in.remark = QStringLiteral("save %1").arg(log.size() + 1);
            if (date != "kept") // "-": emptied
                in.settlementDate = date == "-" ? "" : date;
            if (meanwhile)
                execSql("UPDATE seihin_t SET 精算日時 = ? WHERE 製品伝票番号 = ?",
                        {SlipFixtures::orNull(*meanwhile), no});
            const QString error = TestRuns::errorOf([&] { UpdateSlip(in, loaded); });
            log << no + " " + date +
                       (meanwhile ? ", meanwhile 精算日時 '" + *meanwhile + "'" : "") + ": " +
                       error + "; stored " + stamped(no) +
                       (column(no, "精算日時").isNull() ? " (Null)" : "");
        };
        save(kNo, "kept");
        save(kNo, "2026/04/02");
        save(kNo, "-");
        save("260310-002", "kept", "2026-04-01 10:00:00");
        save(kNo, "2026/04/03");
        save(kNo, "kept", "");
        const QString d = goldenDifference("slip-update.txt", log.join('\n') + '\n');
        QVERIFY2(d.isEmpty(), qPrintable(d));
        // The price lookup fails: no stale price, nothing written.
        execSql("DROP TABLE tanka_m");
        save(kNo, "-");
        QVERIFY(!log.last().contains("(no error)") && log.last().endsWith("|120|save 5 (Null)"));
    }

    void nextNumberOfTheDay() {
        const QString d = goldenCases("slip-numbers.txt", [](const QStringList& existing) {
            TestDatabase db(kNow);
            for (QString no : existing) {
                const bool deleted = no.startsWith('-');
                if (no != "none")
                    addSlip({.no = no.remove(0, deleted ? 1 : 0), .deleted = deleted});
            }
            const QString next = NewSlipNo();
            QString saved;
            const QString error = TestRuns::errorOf([&] { saved = InsertSlip(kSlip); });
            return QStringLiteral("%1 / %2 / %3")
                .arg(next, saved.isEmpty() ? error : saved)
                .arg(SlipFixtures::slipCount());
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void twoProgramsSavingAtOnceNeverShareANumber() {
        TestDatabase t(kNow);
        for (const QString& report : WriterCopies::run(t.path(), 2))
            QVERIFY2(report == "0", qPrintable(report));
        // The key refuses a shared number.
        QCOMPARE(
            TestRuns::rows(
                "SELECT COUNT(DISTINCT 製品伝票番号) AS n, MAX(製品伝票番号) AS top FROM seihin_t"),
            QStringList{QStringLiteral("%1|260401-%1").arg(2 * savesPerWriter())});
    }

    // The slips a print key selects and the boxes they fill; a missing
    // master, quantity, date or employee leaves its box empty.
    void slipsToPrint() {
        TestDatabase db;
        SlipFixtures::addPrintMasters();
        execSql("INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES ('', 'X', 0)");
        for (const QString no : {"031023-003", "031023-001", "031024-001", "031023-002"}) {
            Slip s = printedSlip();
            s.no = no;
            s.requested = no.startsWith("031023") ? "2003-10-23" : "2003-10-24";
            s.deleted = no.endsWith('2');
            addSlip(s);
        }
        Slip s = printedSlip();
        s.pno = "P-999";       // no master row
        s.employee = " E001 "; // found without its blanks
        addSlip(s);
        addSlip({.no = "031031-005", .employee = "E404"}); // no longer in syain_m
        addSlip({.no = "031031-006", .employee = "  "});
        const QString d = goldenCases("slip-print-keys.txt", [](const QStringList& key) {
            QStringList out;
            for (const SlipPrintData& p : loadSlipsToPrint(key[0]))
                out << QStringList{p.slipNo, p.drawing, p.deliveredQuantity, p.deliveryDate,
                                   p.employeeName}
                           .join(',');
            return out.join(" / ");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }

    void marginsAreWholeTwipsOfNumericValues() {
        TestDatabase db;
        const QString d = goldenCases("slip-margins.txt", [&db](const QStringList& f) {
            db.writeIni("[Denpyo]\nMarginTop=" + QString(f[0]).replace('_', ' ') +
                        "\nMarginLeft1=50\n" + (f[1] == "-" ? "" : "MarginLeft2=" + f[1]));
            SlipMargins m;
            const QString error = TestRuns::errorOf([&] { m = readSlipMargins(); });
            return error != "(no error)"
                       ? error
                       : QStringLiteral("%1 %2 %3").arg(m.top).arg(m.left1).arg(m.left2);
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }
};

int main(int argc, char** argv) {
    if (int code = 0; WriterCopies::runIfCopy(issueSlipsConcurrently, code))
        return code;
    QCoreApplication app(argc, argv);
    TestSlips test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_slips.moc"
