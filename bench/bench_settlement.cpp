// Times a settlement, its cancellation and a second settlement of 30,000 and
// 100,000 delivered slips over 300 home-workers with 50,000 price lines, and
// a trial on a fresh copy, against two baselines on the bare C API of the
// engine: the same per-slip work (prepared statements, one transaction per
// run), and the same work as the fewest statements the engine allows
// (settlementbulk.h). Run by hand:
//   build/bench/bench_settlement [SLIPS...] [DSN]
// The runs are on a file; with a PostgreSQL DSN as TVL.INI takes one
// ("postgresql://user@host/db" or "host=... dbname=...") on that server too,
// in schemas of their own (bench_settlement_*; the filled one is kept for
// the next run), and the server's settlement is set against the file's.
#include "core/clock.h"
#include "core/database.h"
#include "settlement/settlementrun.h"
#include "settlement/trial.h"
#include "settlementbench.h"
#include "settlementbulk.h"

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
    double settle = 0, cancel = 0, again = 0, trial = 0; // ms
    double total() const { return settle + cancel + again; }
};

double lap(QElapsedTimer& t) {
    const double ms = t.nsecsElapsed() / 1e6;
    t.restart();
    return ms;
}

Timings timeEngine(const QString& path, const QString& trialPath) {
    Clock::setFixed(kRunAt);
    const SettlementCriteria april{QDate(2024, 4, 1), QDate(2024, 4, 30), {}, {}, "E001"};
    Timings t;
    openDatabase(trialPath);
    QElapsedTimer timer;
    timer.start();
    RunTrial(april);
    t.trial = lap(timer);
    DBClose();
    openDatabase(path);
    timer.restart();
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

template <class Db> Timings timeBulk(const QString& path, const QString& trialPath) {
    Timings t;
    QElapsedTimer timer;
    {
        Db db(trialPath);
        BenchDatabase::exec(db, BenchDatabase::kLikeTheProgram);
        timer.start();
        SettlementBulk::trial(db, stored(kRunAt), kEmployee);
        t.trial = lap(timer);
    }
    Db db(path);
    BenchDatabase::exec(db, BenchDatabase::kLikeTheProgram);
    timer.restart();
    SettlementBulk::settle(db, stored(kRunAt), kEmployee);
    t.settle = lap(timer);
    SettlementBulk::cancel(db, stored(kRunAt), kEmployee);
    t.cancel = lap(timer);
    SettlementBulk::settle(db, stored(kRunAt.addSecs(1)), kEmployee);
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

// Copies of one filled database: for the program and each baseline, and
// for the trials of the program and the bulk baseline.
struct Copies {
    QString engine, bare, bulk, engineTrial, bulkTrial;
};
const QStringList kCopyNames = {"engine", "bare", "bulk", "engine_trial", "bulk_trial"};

Copies copiesOf(const QStringList& paths) {
    return {paths.at(0), paths.at(1), paths.at(2), paths.at(3), paths.at(4)};
}

Copies fileCopies(int slips, const QTemporaryDir& dir) {
    const QString base = dir.filePath(QStringLiteral("base%1.sqlite").arg(slips));
    if (!QFile::exists(base))
        fillFile(base, slips);
    QStringList paths;
    for (const QString& name : kCopyNames) {
        paths << dir.filePath(QStringLiteral("%1%2.sqlite").arg(name).arg(slips));
        QFile::remove(paths.last());
        QFile::copy(base, paths.last());
    }
    return copiesOf(paths);
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
        {
            RawPg db(inSchema(dsn, base));
            fill(db, slips);
        }
        BenchDatabase::vacuumSchema(dsn, base);
    }
    QStringList dsns;
    for (const QString& name : kCopyNames) {
        const QString schema = QStringLiteral("bench_settlement_") + name;
        BenchDatabase::copySchema(dsn, base, schema);
        dsns << inSchema(dsn, schema);
    }
    return copiesOf(dsns);
}

// A figure beside a baseline, shown but not judged.
void showRatio(const char* what, double ms, double baselineMs) {
    std::printf("%-44s %9.1f ms  baseline %8.1f ms  ratio %5.2f\n", what, ms, baselineMs,
                baselineMs > 0 ? ms / baselineMs : 0);
}

// The program's figures, judged against the per-slip baseline and, on a
// server, against the bulk one (on a file the bulk figures are shown).
template <class Db> bool benchmark(const Copies& copies, Timings* engineTimes) {
    BenchDatabase::flushWrites(copies.bare);
    const Timings bare = timeBaseline<Db>(copies.bare);
    BenchDatabase::flushWrites(copies.bulk);
    const Timings bulk = timeBulk<Db>(copies.bulk, copies.bulkTrial);
    BenchDatabase::flushWrites(copies.engine);
    const Timings engine = timeEngine(copies.engine, copies.engineTrial);
    *engineTimes = engine;
    std::printf("against the per-slip baseline:\n");
    reportRatio("settle", engine.settle, bare.settle, 2.0);
    reportRatio("cancel", engine.cancel, bare.cancel, 2.0);
    reportRatio("settle again", engine.again, bare.again, 2.0);
    bool fast = reportRatio("all three", engine.total(), bare.total(), 2.0);
    std::printf("against the bulk-SQL baseline:\n");
    const bool server = Db::kEngine == SqlEngine::Postgres;
    const auto judge = [&](const char* what, double ms, double baseMs) {
        if (!server) {
            showRatio(what, ms, baseMs);
            return true;
        }
        return reportRatio(what, ms, baseMs, 2.0);
    };
    fast = judge("settle", engine.settle, bulk.settle) && fast;
    fast = judge("cancel", engine.cancel, bulk.cancel) && fast;
    fast = judge("settle again", engine.again, bulk.again) && fast;
    fast = judge("trial", engine.trial, bulk.trial) && fast;
    const QByteArray rows = settlementsOf<Db>(copies.engine);
    const bool same = rows == settlementsOf<Db>(copies.bare);
    const bool bulkSame = rows == settlementsOf<Db>(copies.bulk);
    std::printf("settlement rows of the engine and the baselines %s\n",
                same && bulkSame ? "agree" : "DIFFER");
    return fast && same && bulkSame;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    QString server;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (isServerDatabase(arg))
            server = arg;
        else
            sizes << arg.toInt();
    }
    if (sizes.isEmpty())
        sizes = {30000, 100000};
    QTemporaryDir dir;
    bool ok = true;
    for (int slips : sizes) {
        Timings onFile, onServer;
        for (const bool toServer : {false, true}) {
            if (toServer && server.isEmpty())
                break;
            QElapsedTimer timer;
            timer.start();
            const Copies copies = toServer ? serverCopies(slips, server) : fileCopies(slips, dir);
            std::printf("\n%s: %d slips, %d home-workers, %d price lines (ready in %.1f s)\n",
                        toServer ? "PostgreSQL" : "SQLite", slips, kWorkers,
                        kCombinations * kLinesPerCombination, timer.nsecsElapsed() / 1e9);
            ok = (toServer ? benchmark<RawPg>(copies, &onServer)
                           : benchmark<RawDb>(copies, &onFile)) &&
                 ok;
        }
        if (!server.isEmpty())
            ok = reportRatio("settle, PostgreSQL against SQLite", onServer.settle, onFile.settle,
                             3.0) &&
                 ok;
    }
    std::printf("\n%s\n", ok ? "bench_settlement: target met" : "bench_settlement: TARGET MISSED");
    return ok ? 0 : 1;
}
