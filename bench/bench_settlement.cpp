// Times a settlement, its cancellation and a second settlement of 30,000 and
// 100,000 delivered slips over 300 home-workers with 50,000 price lines,
// against a baseline doing the same per-slip work with the bare sqlite3 C
// API (prepared statements, one transaction per run). Run by hand:
//   build/bench/bench_settlement [SLIPS...]
#include "core/clock.h"
#include "core/database.h"
#include "core/schema.h"
#include "rawsqlite.h"
#include "settlement/settlementrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <vector>

namespace {

constexpr int kWorkers = 300;
constexpr int kCombinations = 10000;
constexpr int kLinesPerCombination = 5; // 50,000 price lines
const QDateTime kRunAt(QDate(2024, 5, 10), QTime(17, 0));
const QByteArray kEmployee = "E001";
const QByteArray kFirst = "2024-04-01";
const QByteArray kLast = "2024-04-30";

QByteArray stored(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
}

QByteArray code(char prefix, int i, int width) {
    return prefix + QByteArray::number(i).rightJustified(width, '0');
}

// With the settings of the program's own connection: write-ahead log, full
// sync, the default page cache.
void likeTheProgram(RawDb& db) {
    db.exec("PRAGMA journal_mode = WAL");
    db.exec("PRAGMA synchronous = FULL");
}

void fill(const QString& path, int slips) {
    Schema::createFile(path);
    RawDb db(path);
    likeTheProgram(db);
    QRandomGenerator rng(7);
    db.exec("BEGIN IMMEDIATE");
    RawStatement w(db, "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ)"
                       " VALUES (?, ?, 0)");
    for (int i = 0; i < kWorkers; ++i) {
        w.bind(1, code('N', i, 4));
        w.bind(2, QStringLiteral("内職者%1").arg(i).toUtf8());
        w.step();
        w.reset();
    }
    RawStatement p(db, "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード,"
                       " 単価, 適用開始日, 削除フラグ) VALUES (?, ?, ?, ?, ?, ?, ?)");
    sqlite3_int64 serial = 0;
    for (int c = 0; c < kCombinations; ++c)
        for (int l = 0; l < kLinesPerCombination; ++l) {
            p.bind(1, ++serial);
            p.bind(2, code('P', c / kWorkers, 4));
            p.bind(3, code('W', c % 7, 2));
            p.bind(4, code('N', c % kWorkers, 4));
            p.bind(5, 10.125 + rng.bounded(20000) / 1000.0);
            p.bind(6, QByteArray::number(2019 + l) + "-01-01");
            p.bind(7, sqlite3_int64(serial % 50 == 0 ? 1 : 0));
            p.step();
            p.reset();
        }
    RawStatement s(db, "INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード,"
                       " 精算単価, 払出数量, 納入数量, 依頼日, 納入日, 最終更新日時, 削除フラグ,"
                       " 社員コード) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, '2024-04-30 12:00:00', 0,"
                       " 'E001')");
    for (int i = 0; i < slips; ++i) {
        const int c = rng.bounded(kCombinations);
        const sqlite3_int64 quantity = 1 + rng.bounded(1000);
        s.bind(1, code('S', i, 9));
        s.bind(2, code('P', c / kWorkers, 4));
        s.bind(3, code('W', c % 7, 2));
        s.bind(4, code('N', c % kWorkers, 4));
        s.bind(5, i % 2 ? 10.125 : 0.0); // about half need a new price
        s.bind(6, quantity);
        s.bind(7, quantity);
        s.bind(8, QDate(2020, 1, 1).addDays(rng.bounded(1500)).toString(Qt::ISODate).toUtf8());
        s.bind(9, QDate(2024, 4, 1).addDays(rng.bounded(30)).toString(Qt::ISODate).toUtf8());
        s.step();
        s.reset();
    }
    db.exec("COMMIT");
}

struct Timings {
    double settle = 0, cancel = 0, again = 0; // ms
    double total() const { return settle + cancel + again; }
};

double lap(QElapsedTimer& t) {
    const double ms = t.nsecsElapsed() / 1e6;
    t.restart();
    return ms;
}

Timings timeEngine(const QString& path) {
    Clock::setFixed(kRunAt);
    DBOpenPath(path);
    const SettlementCriteria april{QDate(2024, 4, 1), QDate(2024, 4, 30), {}, {}, "E001"};
    Timings t;
    QElapsedTimer timer;
    timer.start();
    RunSettlement(april);
    t.settle = lap(timer);
    CancelSettlement(april);
    t.cancel = lap(timer);
    RunSettlement(april);
    t.again = lap(timer);
    DBClose();
    return t;
}

// ---- the baseline: the engine's statements straight on the C API ---------

qint64 halfEven(__int128 n, qint64 d) {
    qint64 q = qint64(n / d);
    const __int128 twice = (n % d) * 2;
    if (twice > d || (twice == d && q % 2 != 0))
        ++q;
    return q;
}

QByteArray column(RawStatement& q, int col) {
    return reinterpret_cast<const char*>(q.text(col));
}

void settleBare(RawDb& db) {
    db.exec("BEGIN IMMEDIATE");
    struct Slip {
        QByteArray number, person, pno, wno, requested;
        qint64 stored, quantity;
        bool storedNull;
    };
    std::vector<Slip> slips;
    {
        RawStatement q(
            db, "SELECT seihin_t.製品伝票番号, seihin_t.内職者コード, seihin_t.製品図番,"
                " seihin_t.作業コード, seihin_t.精算単価, seihin_t.納入数量, seihin_t.依頼日,"
                " sagyou_m.作業項目 AS 作業項目, naishoku_m.内職者氏名 AS 内職者氏名"
                " FROM (seihin_t LEFT JOIN naishoku_m ON seihin_t.内職者コード ="
                " naishoku_m.内職者コード) LEFT JOIN sagyou_m ON seihin_t.作業コード ="
                " sagyou_m.作業コード WHERE (COALESCE(seihin_t.削除フラグ, 0) <> 1)"
                " AND (seihin_t.納入日 IS NOT NULL) AND (seihin_t.精算日時 IS NULL)"
                " AND seihin_t.納入日 >= ? AND seihin_t.納入日 <= ? ORDER BY"
                " seihin_t.内職者コード, seihin_t.製品図番, seihin_t.作業コード,"
                " seihin_t.製品伝票番号");
        q.bind(1, kFirst);
        q.bind(2, kLast);
        while (q.step())
            slips.push_back({column(q, 0), column(q, 1), column(q, 2), column(q, 3), column(q, 6),
                             std::llround(q.real(4) * 10000), q.integer(5), q.isNull(4)});
    }
    QByteArray stamp = stored(kRunAt);
    {
        RawStatement taken(db, "SELECT (EXISTS (SELECT 1 FROM seisan_t WHERE 精算日時 = ?) OR"
                               " EXISTS (SELECT 1 FROM seihin_t WHERE 精算日時 IN (?, ?)))");
        for (int extra = 1;; ++extra) {
            for (int i = 1; i <= 3; ++i)
                taken.bind(i, stamp);
            taken.step();
            const bool isTaken = taken.integer(0) != 0;
            taken.reset();
            if (!isTaken)
                break;
            stamp = stored(kRunAt.addSecs(extra));
        }
    }
    RawStatement stampSlip(db, "UPDATE seihin_t SET 精算日時 = ?, 最終更新日時 = ?,"
                               " 社員コード = ? WHERE 製品伝票番号 = ?");
    RawStatement lookup(db, "SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND 適用開始日 <= ?"
                            " AND 内職者コード = ? AND 作業コード = ? AND 製品図番 = ?"
                            " ORDER BY 適用開始日 DESC, 単価シリアル DESC LIMIT 1");
    RawStatement price(db, "UPDATE seihin_t SET 精算単価 = ?, 最終更新日時 = ?, 社員コード = ?"
                           " WHERE 製品伝票番号 = ?");
    RawStatement insert(db, "INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日,"
                            " 精算対象最終日, 精算対象伝票枚数, 精算金額, 消費税, 合計金額, 備考,"
                            " 最終更新日時, 削除フラグ, 社員コード)"
                            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, '', ?, 0, ?)");
    QByteArray worker;
    qint64 count = 0, amount = 0, tax = 0;
    auto flush = [&] {
        if (count == 0)
            return;
        insert.bind(1, stamp);
        insert.bind(2, worker);
        insert.bind(3, kFirst);
        insert.bind(4, kLast);
        insert.bind(5, sqlite3_int64(count));
        insert.bind(6, sqlite3_int64(amount));
        insert.bind(7, sqlite3_int64(tax));
        insert.bind(8, sqlite3_int64(amount + tax));
        insert.bind(9, stamp);
        insert.bind(10, kEmployee);
        insert.step();
        insert.reset();
        count = amount = tax = 0;
    };
    for (const Slip& s : slips) {
        if (s.person != worker) {
            flush();
            worker = s.person;
        }
        stampSlip.bind(1, stamp);
        stampSlip.bind(2, stamp);
        stampSlip.bind(3, kEmployee);
        stampSlip.bind(4, s.number);
        stampSlip.step();
        stampSlip.reset();
        lookup.bind(1, s.requested);
        lookup.bind(2, s.person);
        lookup.bind(3, s.wno);
        lookup.bind(4, s.pno);
        qint64 p = 0;
        if (lookup.step()) // three decimals, as the lists show the price
            p = (std::llround(lookup.real(0) * 10000) + 5) / 10 * 10;
        lookup.reset();
        if (s.storedNull || p != s.stored) {
            price.bind(1, double(p) / 10000);
            price.bind(2, stamp);
            price.bind(3, kEmployee);
            price.bind(4, s.number);
            price.step();
            price.reset();
        }
        ++count;
        amount += halfEven(__int128(p) * s.quantity, 10000);
        tax += halfEven(__int128(p) * s.quantity * 5, 1000000);
    }
    flush();
    db.exec("COMMIT");
}

void cancelBare(RawDb& db) {
    const QByteArray now = stored(kRunAt);
    db.exec("BEGIN IMMEDIATE");
    std::vector<std::pair<QByteArray, QByteArray>> rows;
    {
        RawStatement q(db, "SELECT * FROM seisan_t WHERE (COALESCE(削除フラグ, 0) <> 1)"
                           " AND 精算対象開始日 >= ? AND 精算対象最終日 <= ?"
                           " ORDER BY 精算日時, 内職者コード");
        q.bind(1, kFirst);
        q.bind(2, kLast);
        while (q.step())
            rows.emplace_back(column(q, 0), column(q, 1));
    }
    RawStatement flag(db, "UPDATE seisan_t SET 削除フラグ = 1, 最終更新日時 = ?, 社員コード = ?"
                          " WHERE 精算日時 = ? AND 内職者コード = ?"
                          " AND COALESCE(削除フラグ, 0) <> 1");
    RawStatement release(db, "UPDATE seihin_t SET 精算日時 = NULL, 最終更新日時 = ?,"
                             " 社員コード = ? WHERE 精算日時 = ? AND 内職者コード = ?");
    for (const auto& [stamp, worker] : rows)
        for (RawStatement* s : {&flag, &release}) {
            s->bind(1, now);
            s->bind(2, kEmployee);
            s->bind(3, stamp);
            s->bind(4, worker);
            s->step();
            s->reset();
        }
    db.exec("COMMIT");
}

Timings timeBaseline(const QString& path) {
    RawDb db(path);
    likeTheProgram(db);
    Timings t;
    QElapsedTimer timer;
    timer.start();
    settleBare(db);
    t.settle = lap(timer);
    cancelBare(db);
    t.cancel = lap(timer);
    settleBare(db);
    t.again = lap(timer);
    return t;
}

QByteArray settlementsOf(const QString& path) {
    RawDb db(path);
    RawStatement q(db, "SELECT 精算日時, 内職者コード, 精算対象伝票枚数, 精算金額, 消費税,"
                       " 合計金額, 削除フラグ FROM seisan_t ORDER BY 1, 2");
    QByteArray all;
    while (q.step())
        for (int i = 0; i < q.columns(); ++i)
            all += column(q, i) + '|';
    return all;
}

bool benchmark(int slips, const QTemporaryDir& dir) {
    const QString base = dir.filePath(QStringLiteral("base%1.sqlite").arg(slips));
    QElapsedTimer timer;
    timer.start();
    fill(base, slips);
    std::printf("\n%d slips, %d home-workers, %d price lines (filled in %.1f s)\n", slips, kWorkers,
                kCombinations * kLinesPerCombination, timer.nsecsElapsed() / 1e9);
    const QString enginePath = dir.filePath(QStringLiteral("engine%1.sqlite").arg(slips));
    const QString barePath = dir.filePath(QStringLiteral("bare%1.sqlite").arg(slips));
    QFile::copy(base, enginePath);
    QFile::copy(base, barePath);

    const Timings bare = timeBaseline(barePath);
    const Timings engine = timeEngine(enginePath);
    reportRatio("settle", engine.settle, bare.settle, 2.0);
    reportRatio("cancel", engine.cancel, bare.cancel, 2.0);
    reportRatio("settle again", engine.again, bare.again, 2.0);
    const bool fast = reportRatio("all three", engine.total(), bare.total(), 2.0);
    const bool same = settlementsOf(enginePath) == settlementsOf(barePath);
    std::printf("settlement rows of the engine and the baseline %s\n", same ? "agree" : "DIFFER");
    return fast && same;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLocal8Bit(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {30000, 100000};
    QTemporaryDir dir;
    bool ok = true;
    for (int slips : sizes)
        ok = benchmark(slips, dir) && ok;
    std::printf("\n%s\n", ok ? "bench_settlement: target met" : "bench_settlement: TARGET MISSED");
    return ok ? 0 : 1;
}
