// Times a settlement, its cancellation and a second settlement of 30,000 and
// 100,000 delivered slips over 300 home-workers with 50,000 price lines,
// against a baseline doing the same per-slip work with the bare sqlite3 C
// API (prepared statements, one transaction per run). Run by hand:
//   build/bench/bench_settlement [SLIPS...]
#include "core/clock.h"
#include "core/database.h"
#include "core/schema.h"
#include "settlement/settlementrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

constexpr int kWorkers = 300;
constexpr int kCombinations = 10000;
constexpr int kLinesPerCombination = 5; // 50,000 price lines
const QDateTime kRunAt(QDate(2024, 5, 10), QTime(17, 0));

// The stored date-time text of a time stamp.
std::string SqlValueText(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

// ---- bare sqlite3 helpers -------------------------------------------------

[[noreturn]] void die(sqlite3* db, const char* what) {
    std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
}

void run(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        die(db, sql);
}

struct Statement {
    Statement(sqlite3* db, const char* sql) : db(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
            die(db, sql);
    }
    ~Statement() { sqlite3_finalize(s); }
    Statement& text(int i, const std::string& v) {
        sqlite3_bind_text(s, i, v.c_str(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& integer(int i, sqlite3_int64 v) {
        sqlite3_bind_int64(s, i, v);
        return *this;
    }
    Statement& real(int i, double v) {
        sqlite3_bind_double(s, i, v);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            die(db, "step");
        return false;
    }
    void exec() {
        step();
        sqlite3_reset(s);
    }
    void reset() { sqlite3_reset(s); }
    std::string col(int i) {
        const auto* t = sqlite3_column_text(s, i);
        return t ? reinterpret_cast<const char*>(t) : "";
    }
    sqlite3* db;
    sqlite3_stmt* s = nullptr;
};

// With the settings of the program's own connection (write-ahead log, full
// sync, the default page cache).
sqlite3* openBare(const QString& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK)
        die(db, "open");
    sqlite3_busy_timeout(db, 5000);
    run(db, "PRAGMA journal_mode = WAL");
    run(db, "PRAGMA synchronous = FULL");
    return db;
}

std::string code(const char* prefix, int i, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%0*d", prefix, width, i);
    return buffer;
}

// ---- data -----------------------------------------------------------------

void fill(const QString& path, int slips) {
    Schema::createFile(path);
    sqlite3* db = openBare(path);
    QRandomGenerator rng(7);
    run(db, "BEGIN IMMEDIATE");
    {
        Statement w(db, "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ)"
                        " VALUES (?, ?, 0)");
        for (int i = 0; i < kWorkers; ++i)
            w.text(1, code("N", i, 4)).text(2, "内職者" + std::to_string(i)).exec();
        Statement p(db, "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード,"
                        " 単価, 適用開始日, 削除フラグ) VALUES (?, ?, ?, ?, ?, ?, ?)");
        int serial = 0;
        for (int c = 0; c < kCombinations; ++c)
            for (int l = 0; l < kLinesPerCombination; ++l) {
                ++serial;
                p.integer(1, serial)
                    .text(2, code("P", c / kWorkers, 4))
                    .text(3, code("W", c % 7, 2))
                    .text(4, code("N", c % kWorkers, 4))
                    .real(5, 10.125 + rng.bounded(20000) / 1000.0)
                    .text(6, std::to_string(2019 + l) + "-01-01")
                    .integer(7, serial % 50 == 0 ? 1 : 0)
                    .exec();
            }
        Statement s(db, "INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード,"
                        " 精算単価, 払出数量, 納入数量, 依頼日, 納入日, 最終更新日時, 削除フラグ,"
                        " 社員コード) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, '2024-04-30 12:00:00', 0,"
                        " 'E001')");
        for (int i = 0; i < slips; ++i) {
            const int c = rng.bounded(kCombinations);
            const QDate requested = QDate(2020, 1, 1).addDays(rng.bounded(1500));
            const QDate delivered = QDate(2024, 4, 1).addDays(rng.bounded(30));
            const int quantity = 1 + rng.bounded(1000);
            s.text(1, code("S", i, 9))
                .text(2, code("P", c / kWorkers, 4))
                .text(3, code("W", c % 7, 2))
                .text(4, code("N", c % kWorkers, 4))
                .real(5, i % 2 ? 10.125 : 0) // about half need a new price
                .integer(6, quantity)
                .integer(7, quantity)
                .text(8, requested.toString(Qt::ISODate).toStdString())
                .text(9, delivered.toString(Qt::ISODate).toStdString())
                .exec();
        }
    }
    run(db, "COMMIT");
    sqlite3_close(db);
}

struct Timings {
    double settle = 0, cancel = 0, again = 0;
    double total() const { return settle + cancel + again; }
};

double seconds(QElapsedTimer& t) {
    const double s = t.nsecsElapsed() / 1e9;
    t.restart();
    return s;
}

// ---- the engine -----------------------------------------------------------

Timings timeEngine(const QString& path) {
    Clock::setFixed(kRunAt);
    DBOpenPath(path);
    const SettlementCriteria april{QDate(2024, 4, 1), QDate(2024, 4, 30), {}, {}, "E001"};
    Timings t;
    QElapsedTimer timer;
    timer.start();
    RunSettlement(april);
    t.settle = seconds(timer);
    CancelSettlement(april);
    t.cancel = seconds(timer);
    RunSettlement(april);
    t.again = seconds(timer);
    DBClose();
    return t;
}

// ---- the baseline: the same statements on the bare C API -------------------

qint64 halfEven(__int128 n, qint64 d) {
    qint64 q = qint64(n / d);
    const __int128 twice = (n % d) * 2;
    if (twice > d || (twice == d && q % 2 != 0))
        ++q;
    return q;
}

std::string settleBare(sqlite3* db, const std::string& firstStamp) {
    run(db, "BEGIN IMMEDIATE");
    struct Slip {
        std::string number, pno, wno, person, requested;
        qint64 stored, quantity;
        bool storedNull;
    };
    std::vector<Slip> slips;
    {
        Statement q(db,
                    "SELECT seihin_t.*, sagyou_m.作業項目 AS 作業項目, naishoku_m.内職者氏名"
                    " AS 内職者氏名 FROM (seihin_t LEFT JOIN naishoku_m ON seihin_t.内職者コード"
                    " = naishoku_m.内職者コード) LEFT JOIN sagyou_m ON seihin_t.作業コード ="
                    " sagyou_m.作業コード WHERE (COALESCE(seihin_t.削除フラグ, 0) <> 1) AND"
                    " (seihin_t.納入日 IS NOT NULL) AND (seihin_t.精算日時 IS NULL) AND"
                    " seihin_t.納入日 >= ? AND seihin_t.納入日 <= ? ORDER BY"
                    " seihin_t.内職者コード, seihin_t.製品図番, seihin_t.作業コード,"
                    " seihin_t.製品伝票番号");
        q.text(1, "2024-04-01").text(2, "2024-04-30");
        while (q.step())
            slips.push_back({q.col(0), q.col(1), q.col(2), q.col(3), q.col(8),
                             std::llround(sqlite3_column_double(q.s, 4) * 10000),
                             sqlite3_column_int64(q.s, 7),
                             sqlite3_column_type(q.s, 4) == SQLITE_NULL});
    }
    std::string stamp = firstStamp;
    {
        Statement taken(db, "SELECT (EXISTS (SELECT 1 FROM seisan_t WHERE 精算日時 = ?) OR EXISTS"
                            " (SELECT 1 FROM seihin_t WHERE 精算日時 IN (?, ?))) AS taken");
        for (int extra = 1;; ++extra) {
            taken.text(1, stamp).text(2, stamp).text(3, stamp);
            taken.step();
            const bool isTaken = sqlite3_column_int(taken.s, 0) != 0;
            taken.reset();
            if (!isTaken)
                break;
            stamp = SqlValueText(kRunAt.addSecs(extra));
        }
    }
    Statement stampSlip(db, "UPDATE seihin_t SET 精算日時 = ?, 最終更新日時 = ?, 社員コード = ?"
                            " WHERE 製品伝票番号 = ?");
    Statement lookup(db, "SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND 適用開始日 <= ?"
                         " AND 内職者コード = ? AND 作業コード = ? AND 製品図番 = ?"
                         " ORDER BY 適用開始日 DESC LIMIT 1");
    Statement price(db, "UPDATE seihin_t SET 精算単価 = ?, 最終更新日時 = ?, 社員コード = ?"
                        " WHERE 製品伝票番号 = ?");
    Statement insert(db,
                     "INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日,"
                     " 精算対象最終日, 精算対象伝票枚数, 精算金額, 消費税, 合計金額, 備考,"
                     " 最終更新日時, 削除フラグ, 社員コード) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '',"
                     " ?, 0, ?)");
    std::string worker;
    qint64 count = 0, amount = 0, tax = 0;
    auto flush = [&] {
        if (count == 0)
            return;
        insert.text(1, stamp).text(2, worker).text(3, "2024-04-01").text(4, "2024-04-30");
        insert.integer(5, count).integer(6, amount).integer(7, tax).integer(8, amount + tax);
        insert.text(9, stamp).text(10, "E001").exec();
        count = amount = tax = 0;
    };
    for (const Slip& s : slips) {
        if (s.person != worker) {
            flush();
            worker = s.person;
        }
        stampSlip.text(1, stamp).text(2, stamp).text(3, "E001").text(4, s.number).exec();
        lookup.text(1, s.requested).text(2, s.person).text(3, s.wno).text(4, s.pno);
        qint64 p = 0;
        if (lookup.step()) {
            const qint64 exact = std::llround(sqlite3_column_double(lookup.s, 0) * 10000);
            p = (exact + 5) / 10 * 10; // three decimals, as the lists show it
        }
        lookup.reset();
        if (s.storedNull || p != s.stored)
            price.real(1, double(p) / 10000)
                .text(2, stamp)
                .text(3, "E001")
                .text(4, s.number)
                .exec();
        ++count;
        amount += halfEven(__int128(p) * s.quantity, 10000);
        tax += halfEven(__int128(p) * s.quantity * 5, 1000000);
    }
    flush();
    run(db, "COMMIT");
    return stamp;
}

void cancelBare(sqlite3* db, const std::string& now) {
    run(db, "BEGIN IMMEDIATE");
    std::vector<std::pair<std::string, std::string>> rows;
    {
        Statement q(
            db,
            "SELECT * FROM seisan_t WHERE (COALESCE(削除フラグ, 0) <> 1) AND 精算対象開始日 >= ?"
            " AND 精算対象最終日 <= ? ORDER BY 精算日時, 内職者コード");
        q.text(1, "2024-04-01").text(2, "2024-04-30");
        while (q.step())
            rows.emplace_back(q.col(0), q.col(1));
    }
    Statement flag(db, "UPDATE seisan_t SET 削除フラグ = 1, 最終更新日時 = ?, 社員コード = ?"
                       " WHERE 精算日時 = ? AND 内職者コード = ? AND COALESCE(削除フラグ, 0) <> 1");
    Statement release(db, "UPDATE seihin_t SET 精算日時 = NULL, 最終更新日時 = ?, 社員コード = ?"
                          " WHERE 精算日時 = ? AND 内職者コード = ?");
    for (const auto& [stamp, worker] : rows) {
        flag.text(1, now).text(2, "E001").text(3, stamp).text(4, worker).exec();
        release.text(1, now).text(2, "E001").text(3, stamp).text(4, worker).exec();
    }
    run(db, "COMMIT");
}

Timings timeBaseline(const QString& path) {
    sqlite3* db = openBare(path);
    const std::string at = SqlValueText(kRunAt);
    Timings t;
    QElapsedTimer timer;
    timer.start();
    settleBare(db, at);
    t.settle = seconds(timer);
    cancelBare(db, at);
    t.cancel = seconds(timer);
    settleBare(db, at);
    t.again = seconds(timer);
    sqlite3_close(db);
    return t;
}

std::string settlementsOf(const QString& path) {
    sqlite3* db = openBare(path);
    std::string all;
    {
        Statement q(db, "SELECT 精算日時, 内職者コード, 精算対象伝票枚数, 精算金額, 消費税,"
                        " 合計金額, 削除フラグ FROM seisan_t ORDER BY 1, 2");
        while (q.step())
            for (int i = 0; i < 7; ++i)
                all += q.col(i) + "|";
    }
    sqlite3_close(db);
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
    const bool same = settlementsOf(enginePath) == settlementsOf(barePath);
    auto line = [](const char* what, double e, double b) {
        std::printf("  %-16s engine %7.3f s   sqlite3 %7.3f s   ratio %.2f\n", what, e, b, e / b);
    };
    line("settle", engine.settle, bare.settle);
    line("cancel", engine.cancel, bare.cancel);
    line("settle again", engine.again, bare.again);
    line("all three", engine.total(), bare.total());
    std::printf("  settlement rows of engine and baseline %s\n", same ? "agree" : "DIFFER");
    return same && engine.total() <= 2.0 * bare.total();
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
    std::printf("\ntarget: engine within 2x of the sqlite3 baseline\n%s\n",
                ok ? "bench_settlement: target met" : "bench_settlement: TARGET MISSED");
    return ok ? 0 : 1;
}
