// Times a settlement, its cancellation and a second settlement of 30,000 and
// 100,000 delivered slips over 300 home-workers with 50,000 price lines,
// against a baseline doing the same per-slip work with the bare C API of the
// engine (prepared statements, one transaction per run). Run by hand:
//   build/bench/bench_settlement [SLIPS...] [DSN]
// With a PostgreSQL DSN as TVL.INI takes one ("postgresql://user@host/db" or
// "host=... dbname=...") the runs are on that server, in schemas of their
// own (bench_settlement_*); the filled one is kept for the next run.
#include "core/clock.h"
#include "core/database.h"
#include "settlement/settlementrun.h"
#include "settlementbench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <vector>

using namespace SettlementBench;

namespace {

const QDateTime kRunAt(QDate(2024, 5, 10), QTime(17, 0));
const QByteArray kEmployee = "E001";

QByteArray stored(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
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

template <class Statement> QByteArray column(Statement& q, int col) {
    return reinterpret_cast<const char*>(q.text(col));
}

template <class Db> void settleBare(Db& db) {
    using Statement = typename Db::Statement;
    BenchDatabase::beginWrite(db);
    struct Slip {
        QByteArray number, person, pno, wno, requested;
        qint64 stored, quantity;
        bool storedNull;
    };
    std::vector<Slip> slips;
    {
        Statement q(db,
                    "SELECT seihin_t.製品伝票番号, seihin_t.内職者コード, seihin_t.製品図番,"
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
        Statement taken(db, "SELECT (EXISTS (SELECT 1 FROM seisan_t WHERE 精算日時 = ?) OR"
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
    Statement stampSlip(db, "UPDATE seihin_t SET 精算日時 = ?, 最終更新日時 = ?,"
                            " 社員コード = ? WHERE 製品伝票番号 = ?");
    Statement lookup(db, "SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND 適用開始日 <= ?"
                         " AND 内職者コード = ? AND 作業コード = ? AND 製品図番 = ?"
                         " ORDER BY 適用開始日 DESC, 単価シリアル DESC LIMIT 1");
    Statement price(db, "UPDATE seihin_t SET 精算単価 = ?, 最終更新日時 = ?, 社員コード = ?"
                        " WHERE 製品伝票番号 = ?");
    Statement insert(db, "INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日,"
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
        insert.bind(5, count);
        insert.bind(6, amount);
        insert.bind(7, tax);
        insert.bind(8, amount + tax);
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
        // The legal rate on the April deliveries: 10 %, rounded per slip.
        tax += halfEven(__int128(p) * s.quantity * 10, 1000000);
    }
    flush();
    db.exec("COMMIT");
}

template <class Db> void cancelBare(Db& db) {
    using Statement = typename Db::Statement;
    const QByteArray now = stored(kRunAt);
    BenchDatabase::beginWrite(db);
    std::vector<std::pair<QByteArray, QByteArray>> rows;
    {
        Statement q(db, "SELECT * FROM seisan_t WHERE (COALESCE(削除フラグ, 0) <> 1)"
                        " AND 精算対象開始日 >= ? AND 精算対象最終日 <= ?"
                        " ORDER BY 精算日時, 内職者コード");
        q.bind(1, kFirst);
        q.bind(2, kLast);
        while (q.step())
            rows.emplace_back(column(q, 0), column(q, 1));
    }
    Statement flag(db, "UPDATE seisan_t SET 削除フラグ = 1, 最終更新日時 = ?, 社員コード = ?"
                       " WHERE 精算日時 = ? AND 内職者コード = ?"
                       " AND COALESCE(削除フラグ, 0) <> 1");
    Statement release(db, "UPDATE seihin_t SET 精算日時 = NULL, 最終更新日時 = ?,"
                          " 社員コード = ? WHERE 精算日時 = ? AND 内職者コード = ?");
    for (const auto& [stamp, worker] : rows)
        for (Statement* s : {&flag, &release}) {
            s->bind(1, now);
            s->bind(2, kEmployee);
            s->bind(3, stamp);
            s->bind(4, worker);
            s->step();
            s->reset();
        }
    db.exec("COMMIT");
}

template <class Db> Timings timeBaseline(const QString& path) {
    Db db(path);
    BenchDatabase::exec(db, BenchDatabase::kLikeTheProgram);
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

template <class Db> QByteArray settlementsOf(const QString& path) {
    Db db(path);
    typename Db::Statement q(db,
                             "SELECT 精算日時, 内職者コード, 精算対象伝票枚数, 精算金額, 消費税,"
                             " 合計金額, 削除フラグ FROM seisan_t ORDER BY 1, 2");
    QByteArray all;
    while (q.step())
        for (int i = 0; i < q.columns(); ++i)
            all += column(q, i) + '|';
    return all;
}

// Two copies of one filled database: one for the program, one for the
// baseline.
struct Copies {
    QString engine, bare;
};

Copies fileCopies(int slips, const QTemporaryDir& dir) {
    const QString base = dir.filePath(QStringLiteral("base%1.sqlite").arg(slips));
    fillFile(base, slips);
    const Copies copies{dir.filePath(QStringLiteral("engine%1.sqlite").arg(slips)),
                        dir.filePath(QStringLiteral("bare%1.sqlite").arg(slips))};
    QFile::copy(base, copies.engine);
    QFile::copy(base, copies.bare);
    return copies;
}

// The filled schema stays on the server for the next run.
Copies serverCopies(int slips, const QString& dsn) {
    using BenchDatabase::inSchema;
    const QString base = QStringLiteral("bench_settlement_%1").arg(slips);
    bool filled = false;
    {
        RawPg server(dsn);
        RawPgStatement q(server, QStringLiteral("SELECT to_regclass(?) IS NOT NULL"));
        q.bind(1, (base + QStringLiteral(".seihin_t")).toUtf8());
        filled = q.step() && q.integer(0) == 1;
    }
    if (filled) {
        RawPg db(inSchema(dsn, base));
        RawPgStatement q(db, QStringLiteral("SELECT COUNT(*) FROM seihin_t"));
        filled = q.step() && q.integer(0) == slips;
    }
    if (!filled) {
        BenchDatabase::onServer(dsn, {QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(base),
                                      QStringLiteral("CREATE SCHEMA %1").arg(base)});
        BenchDatabase::createTables(inSchema(dsn, base));
        RawPg db(inSchema(dsn, base));
        fill(db, slips);
    }
    const QString engine = QStringLiteral("bench_settlement_engine");
    const QString bare = QStringLiteral("bench_settlement_bare");
    BenchDatabase::copySchema(dsn, base, engine);
    BenchDatabase::copySchema(dsn, base, bare);
    return {inSchema(dsn, engine), inSchema(dsn, bare)};
}

template <class Db> bool benchmark(const Copies& copies) {
    const Timings bare = timeBaseline<Db>(copies.bare);
    const Timings engine = timeEngine(copies.engine);
    reportRatio("settle", engine.settle, bare.settle, 2.0);
    reportRatio("cancel", engine.cancel, bare.cancel, 2.0);
    reportRatio("settle again", engine.again, bare.again, 2.0);
    const bool fast = reportRatio("all three", engine.total(), bare.total(), 2.0);
    const bool same = settlementsOf<Db>(copies.engine) == settlementsOf<Db>(copies.bare);
    std::printf("settlement rows of the engine and the baseline %s\n", same ? "agree" : "DIFFER");
    return fast && same;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    QString server;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (BenchDatabase::isServer(arg))
            server = arg;
        else
            sizes << arg.toInt();
    }
    if (sizes.isEmpty())
        sizes = {30000, 100000};
    QTemporaryDir dir;
    bool ok = true;
    for (int slips : sizes) {
        QElapsedTimer timer;
        timer.start();
        const Copies copies =
            server.isEmpty() ? fileCopies(slips, dir) : serverCopies(slips, server);
        std::printf("\n%s: %d slips, %d home-workers, %d price lines (ready in %.1f s)\n",
                    server.isEmpty() ? "SQLite" : "PostgreSQL", slips, kWorkers,
                    kCombinations * kLinesPerCombination, timer.nsecsElapsed() / 1e9);
        ok = (server.isEmpty() ? benchmark<RawDb>(copies) : benchmark<RawPg>(copies)) && ok;
    }
    std::printf("\n%s\n", ok ? "bench_settlement: target met" : "bench_settlement: TARGET MISSED");
    return ok ? 0 : 1;
}
