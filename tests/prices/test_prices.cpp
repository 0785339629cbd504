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
    openDatabase(path);
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

    // Price lines written, saved, loaded, looked up and listed in turn: each
    // golden file a table of operations on a database of its own.
    void linesInTurn() {
        for (const char* name : {"serials.txt", "saved.txt", "lookup.txt", "list.txt"}) {
            TestDatabase db; // clock fixed at 2026-04-01 09:30:00, employee E001
            const QString d = goldenCases(name, [](const QStringList& f) -> QString {
                const auto value = [&f](int i) {
                    return f.value(i) == "-" ? QString() : f.value(i);
                };
                try {
                    if (f[0] == "masters") {
                        PriceFixtures::addMasters();
                    } else if (f[0] == "line") {
                        addLine(f[1].toLongLong(), f[2], f[3], f[4], f[5].toDouble(), f[6],
                                value(7), f.value(8) == "deleted", f.value(9));
                    } else if (f[0] == "employee") {
                        gEmpCode = f[1];
                    } else if (f[0] == "delete") {
                        execSql("UPDATE tanka_m SET 削除フラグ = 1 WHERE 単価シリアル = ?", {f[1]});
                    } else if (f[0] == "next") {
                        return QString::number(nextPriceSerial());
                    } else if (f[0] == "save" || f[0] == "edit") {
                        PriceInput in = input(f[2], f[3]);
                        std::tie(in.serial, in.remark, in.deleted) =
                            std::tuple(f[1].toLongLong(), f.value(4), f.value(5) == "deleted");
                        if (f[0] == "save")
                            return QString::number(SavePriceNew(in));
                        in.mode = EditMode::Edit;
                        SavePriceEdit(in);
                    } else if (f[0] == "load") {
                        const std::optional<PriceRecord> r = LoadPriceRecord(f[1].toLongLong());
                        return !r ? "(none)"
                                  : QStringList{r->pno,
                                                r->pnoName,
                                                r->wno,
                                                r->workName,
                                                r->person,
                                                r->personName,
                                                r->priceText,
                                                formatDate(r->start),
                                                formatDate(r->end),
                                                r->remark,
                                                r->deleted ? "deleted" : "live"}
                                        .join('|');
                    } else if (f[0] == "lookup") {
                        const PriceLookupResult r =
                            lookupPrice(QDate::fromString(f[1], "yyyy/MM/dd"), kP, f[2], kN);
                        return r.text() + (r.found ? "" : " not found");
                    } else if (f[0] == "list") {
                        const QList<PriceListRow> rows = loadPriceRows(
                            f[1] == "hide", f[2] == "hide", QDate::fromString(f[3], "yyyy/MM/dd"));
                        QStringList out;
                        for (const PriceListRow& r : rows)
                            out << (f.value(4) == "cells" ? r.cells().join('|')
                                                          : QString::number(r.serial));
                        return out.join(f.value(4) == "cells" ? " / " : " ");
                    } else {
                        return rows(f[1]).join(" / ");
                    }
                } catch (const AppError& e) {
                    return "refused: " + e.text();
                }
                return "ok";
            });
            QVERIFY2(d.isEmpty(), qPrintable(d));
        }
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
};

int main(int argc, char** argv) {
    if (int code = 0; WriterCopies::runIfCopy(saveLinesConcurrently, code))
        return code;
    QCoreApplication app(argc, argv);
    TestPrices test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_prices.moc"
