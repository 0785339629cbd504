// Times the unit price lookup and the full price list on a large table:
// 50,000 price lines over 5,000 combinations. Run by hand:
//   build/bench/bench_prices
#include "benchmasters.h"
#include "core/database.h"
#include "core/schema.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "prices/pricelist.h"
#include "prices/pricelookup.h"
#include "prices/screens/frmwrkpricemnt.h"
#include "rawsqlite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr int kDrawings = 100;
constexpr int kWorkCodes = 5;
constexpr int kPersons = 10; // 100 × 5 × 10 = 5,000 combinations
constexpr int kLinesPerCombination = 10;
constexpr int kLookups = 100000;

using BenchMasters::pno;
using BenchMasters::wno;
QString person(int i) {
    return BenchMasters::person(i, 3);
}

void fill() {
    SqlTransaction tx;
    BenchMasters::addMasters(kDrawings, kWorkCodes, kPersons, 3);
    qint64 serial = 0;
    const QDate first(2016, 1, 1);
    for (int d = 0; d < kDrawings; ++d)
        for (int w = 0; w < kWorkCodes; ++w)
            for (int n = 0; n < kPersons; ++n)
                for (int l = 0; l < kLinesPerCombination; ++l) {
                    ++serial;
                    SqlQuery row(QStringLiteral(
                        "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード,"
                        " 単価, 備考, 適用開始日, 適用終了日, 最終更新日時, 削除フラグ, 社員コード)"
                        " VALUES (?, ?, ?, ?, ?, '', ?, NULL, '2026-01-01 00:00:00', ?, 'E001')"));
                    row.bind(serial)
                        .bind(pno(d))
                        .bind(wno(w))
                        .bind(person(n))
                        .bind(10.0 + l + 0.125)
                        .bind(first.addMonths(l * 12).toString(Qt::ISODate))
                        .bind(serial % 50 == 0 ? 1 : 0)
                        .exec();
                }
    tx.commit();
}

double lookupsPerSecond(bool inTransaction) {
    QRandomGenerator random(42);
    std::optional<SqlTransaction> tx;
    if (inTransaction)
        tx.emplace(SqlTransaction::Kind::Read);
    int found = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kLookups; ++i) {
        const QDate date = QDate(2015, 6, 1).addDays(random.bounded(4000));
        found += lookupPrice(date, pno(random.bounded(kDrawings)), wno(random.bounded(kWorkCodes)),
                             person(random.bounded(kPersons)))
                     .found;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double perSecond = kLookups / seconds;
    std::printf("lookupPrice %s: %d calls in %.3f s, %.0f calls/s (%d found)\n",
                inTransaction ? "in one transaction" : "one by one", kLookups, seconds, perSecond,
                found);
    return perSecond;
}

// The same lookups, same keys, straight through the C API.
double rawLookupsPerSecond(RawDb& db, bool inTransaction) {
    QRandomGenerator random(42);
    RawStatement q(
        db, QStringLiteral("SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND 適用開始日 <= ?"
                           " AND 内職者コード = ? AND 作業コード = ? AND 製品図番 = ?"
                           " ORDER BY 適用開始日 DESC, 単価シリアル DESC LIMIT 1"));
    if (inTransaction)
        db.exec("BEGIN DEFERRED");
    int found = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kLookups; ++i) {
        const QDate date = QDate(2015, 6, 1).addDays(random.bounded(4000));
        const QString p = pno(random.bounded(kDrawings));
        const QString w = wno(random.bounded(kWorkCodes));
        const QString n = person(random.bounded(kPersons));
        q.bind(1, date.toString(Qt::ISODate).toUtf8());
        q.bind(2, n.toUtf8());
        q.bind(3, w.toUtf8());
        q.bind(4, p.toUtf8());
        if (q.step()) {
            q.real(0);
            ++found;
        }
        q.reset();
    }
    const double perSecond = kLookups / (timer.nsecsElapsed() / 1e9);
    if (inTransaction)
        db.exec("COMMIT");
    return perSecond;
}

double rawListMs(RawDb& db) {
    QElapsedTimer timer;
    timer.start();
    RawStatement q(
        db, QStringLiteral("SELECT tanka_m.*, sagyou_m.作業項目, naishoku_m.内職者氏名 FROM tanka_m"
                           " LEFT JOIN naishoku_m ON tanka_m.内職者コード = naishoku_m.内職者コード"
                           " LEFT JOIN sagyou_m ON tanka_m.作業コード = sagyou_m.作業コード"
                           " ORDER BY tanka_m.製品図番, tanka_m.作業コード, tanka_m.内職者コード,"
                           " tanka_m.適用開始日 DESC"));
    q.readAllAsText();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    Schema::createFile(path);
    openDatabase(path);

    QElapsedTimer timer;
    timer.start();
    fill();
    std::printf("filled %d price lines in %lld ms\n",
                kDrawings * kWorkCodes * kPersons * kLinesPerCombination,
                static_cast<long long>(timer.elapsed()));

    // Alone, each statement also takes and drops the file lock; inside one
    // transaction, as the settlement run looks prices up, only the lookup
    // itself is timed.
    const double alone = lookupsPerSecond(false);
    const double inTransaction = lookupsPerSecond(true);
    RawDb raw(path);
    const double rawAlone = rawLookupsPerSecond(raw, false);
    const double rawInTransaction = rawLookupsPerSecond(raw, true);

    // The screen opens with both filters on; time the reload with both off,
    // three times, judged on the middle figure.
    frmWrkPriceMnt list;
    qint64 times[3];
    for (qint64& ms : times) {
        timer.restart();
        GridLayout(list.findChild<ListGrid*>(), priceListDefinition());
        list.LoadPriceList(false, false);
        ms = timer.elapsed();
    }
    const int rows = list.findChild<ListGrid*>(QStringLiteral("grd1"))->rows() - 1;
    std::printf("price list, both filters off: %d rows in %lld, %lld, %lld ms\n", rows,
                static_cast<long long>(times[0]), static_cast<long long>(times[1]),
                static_cast<long long>(times[2]));
    std::sort(std::begin(times), std::end(times));
    const qint64 listMs = times[1];
    double rawTimes[3];
    for (double& ms : rawTimes)
        ms = rawListMs(raw);
    std::sort(std::begin(rawTimes), std::end(rawTimes));

    DBClose();
    std::printf("\ntargets: lookups within 2x, the list within 3x of the bare C API\n");
    bool ok = reportRatio("100,000 lookups one by one", 1000.0 * kLookups / alone,
                          1000.0 * kLookups / rawAlone, 2.0);
    ok = reportRatio("100,000 lookups in one transaction", 1000.0 * kLookups / inTransaction,
                     1000.0 * kLookups / rawInTransaction, 2.0) &&
         ok;
    ok = reportRatio("price list, both filters off", double(listMs), rawTimes[1], 3.0) && ok;
    std::printf("%s\n", ok ? "bench_prices: targets met" : "bench_prices: TARGET MISSED");
    return ok ? 0 : 1;
}
