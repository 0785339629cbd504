// Times the slip list and slip issuing on a large database: 100,000 slips
// over 300 home-workers with 50,000 price lines. Each figure is set against
// a baseline doing the same reads or writes through the bare C API of the
// engine (sqlite3, libpq) in the same run. Run by hand:
//   build/bench/bench_slips [DATABASE...]
// Each DATABASE is an SQLite file or a PostgreSQL DSN as TVL.INI takes one
// ("postgresql://user@host/db" or "host=... dbname=..."); on a server the
// bench keeps to the schema bench_slips. A database is filled when empty and
// reused afterwards. With a server and no file, a temporary file is run
// too, so that the full list on the server is set against SQLite's.
#include "benchdatabase.h"
#include "benchmasters.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/schema.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "slips/sliplist.h"
#include "slips/slipnumber.h"
#include "slips/slipstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int kPersons = 300;
constexpr int kDrawings = 400;
constexpr int kWorkCodes = 10;
constexpr int kCombinations = 10000;
constexpr int kLinesPerCombination = 5; // 50,000 price lines
constexpr int kSlips = 100000;
constexpr int kRuns = 5;

using BenchMasters::pno;
using BenchMasters::wno;
QString person(int i) {
    return BenchMasters::person(i, 4);
}

struct Combination {
    int d, w, n;
};

void fill() {
    QRandomGenerator random(11);
    SqlTransaction tx;
    BenchMasters::addMasters(kDrawings, kWorkCodes, kPersons, 4);

    std::vector<Combination> combinations;
    SqlQuery line(QStringLiteral(
        "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード, 単価, 備考,"
        " 適用開始日, 適用終了日, 最終更新日時, 削除フラグ, 社員コード)"
        " VALUES (?, ?, ?, ?, ?, '', ?, NULL, '2026-01-01 00:00:00', ?, 'E001')"));
    qint64 serial = 0;
    const QDate first(2022, 1, 1);
    for (int c = 0; c < kCombinations; ++c) {
        const Combination k{int(random.bounded(kDrawings)), int(random.bounded(kWorkCodes)),
                            c % kPersons};
        combinations.push_back(k);
        for (int l = 0; l < kLinesPerCombination; ++l) {
            ++serial;
            line.bind(serial)
                .bind(pno(k.d))
                .bind(wno(k.w))
                .bind(person(k.n))
                .bind(5.0 + random.bounded(20000) / 8.0)
                .bind(first.addDays(l * 200 + int(random.bounded(100))).toString(Qt::ISODate))
                .bind(serial % 40 == 0 ? 1 : 0)
                .exec();
        }
    }

    SqlQuery slip(
        QStringLiteral("INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード, "
                       "精算単価, 作業区分,"
                       " 払出数量, 納入数量, 依頼日, 納入日, 管理ロットNo, 備考, 精算日時, "
                       "最終更新日時, 削除フラグ,"
                       " 社員コード) VALUES (?, ?, ?, ?, 0, '袋詰め', ?, ?, ?, ?, ?, ?, NULL,"
                       " '2026-01-01 00:00:00', ?, 'E001')"));
    const QVariant none(QMetaType::fromType<QString>());
    const int perDay = 100;
    for (int i = 0; i < kSlips; ++i) {
        const QDate day = first.addDays(i / perDay);
        // Most slips use a priced combination; a few have none.
        const Combination k =
            random.bounded(20) == 0
                ? Combination{int(random.bounded(kDrawings)), int(random.bounded(kWorkCodes)),
                              int(random.bounded(kPersons))}
                : combinations[random.bounded(int(combinations.size()))];
        const bool delivered = i < kSlips * 8 / 10;
        const qint64 issued = 10 + random.bounded(5000);
        slip.bind(day.toString(QStringLiteral("yyMMdd-")) +
                  QStringLiteral("%1").arg(i % perDay + 1, 3, 10, QLatin1Char('0')))
            .bind(pno(k.d))
            .bind(wno(k.w))
            .bind(person(k.n))
            .bind(issued)
            .bind(delivered ? issued : 0)
            .bind(day.toString(Qt::ISODate))
            .bind(delivered ? QVariant(day.addDays(14).toString(Qt::ISODate)) : none)
            .bind(QStringLiteral("L%1").arg(i))
            .bind(i % 7 == 0 ? QStringLiteral("急ぎ") : QString())
            .bind(i % 50 == 0 ? 1 : 0)
            .exec();
    }
    tx.commit();
}

// The baseline statement: the same rows and prices, every column read as
// text, nothing formatted.
const char* const kBaselineSql =
    "SELECT s.製品伝票番号, s.製品図番, zuban_m.図番名称, s.作業コード, sagyou_m.作業項目,"
    " s.作業区分, naishoku_m.内職者氏名, s.依頼日, s.払出数量, s.納入日, s.納入数量,"
    " s.管理ロットNo, s.備考, s.削除フラグ,"
    " (SELECT t.単価 FROM tanka_m t WHERE t.削除フラグ <> 1 AND t.適用開始日 <= s.依頼日"
    "   AND t.内職者コード = s.内職者コード AND t.作業コード = s.作業コード"
    "   AND t.製品図番 = s.製品図番 ORDER BY t.適用開始日 DESC, t.単価シリアル DESC LIMIT 1)"
    " FROM seihin_t s"
    " LEFT JOIN naishoku_m ON s.内職者コード = naishoku_m.内職者コード"
    " LEFT JOIN sagyou_m ON s.作業コード = sagyou_m.作業コード"
    " LEFT JOIN zuban_m ON s.製品図番 = zuban_m.製品図番";

// Returns the number of rows read.
template <class Db> int baselineList(Db& db, const char* where, const QByteArray& person) {
    typename Db::Statement q(db, QString::fromUtf8(kBaselineSql) + QString::fromUtf8(where) +
                                     QStringLiteral(" ORDER BY s.製品伝票番号"));
    if (!person.isEmpty())
        q.bind(1, person);
    int rows = 0;
    while (q.step()) {
        for (int c = 0; c < q.columns(); ++c)
            q.text(c);
        ++rows;
    }
    return rows;
}

// Issues slips of `day` the plain way, one per call: number, price and
// insert in one write transaction each.
template <class Db> class BaselineIssuer {
  public:
    using Statement = typename Db::Statement;
    BaselineIssuer(Db& db, const QDate& day)
        : m_db(db), m_prefix(day.toString(QStringLiteral("yyMMdd-")).toUtf8()),
          m_after(day.toString(QStringLiteral("yyMMdd.")).toUtf8()),
          m_requested(day.toString(Qt::ISODate).toUtf8()),
          m_top(db, QStringLiteral("SELECT 製品伝票番号 FROM seihin_t WHERE 製品伝票番号 >= ?"
                                   " AND 製品伝票番号 < ? ORDER BY 製品伝票番号 DESC LIMIT 1")),
          m_price(db, QStringLiteral("SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND"
                                     " 適用開始日 <= ? AND 内職者コード = ? AND 作業コード = ?"
                                     " AND 製品図番 = ? ORDER BY 適用開始日 DESC, 単価シリアル"
                                     " DESC LIMIT 1")),
          m_insert(db, QStringLiteral("INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード,"
                                      " 内職者コード, 精算単価, 作業区分, 払出数量, 納入数量,"
                                      " 依頼日, 納入日, 管理ロットNo, 備考, 精算日時,"
                                      " 最終更新日時, 削除フラグ, 社員コード) VALUES (?, ?, ?, ?,"
                                      " ?, '', 100, 0, ?, NULL, '', '', NULL,"
                                      " '2026-04-01 09:30:00', 0, 'E001')")) {}

    void issue() {
        const QByteArray p = pno(1).toUtf8(), w = wno(1).toUtf8(), n = person(1).toUtf8();
        BenchDatabase::beginWrite(m_db);
        m_top.bind(1, m_prefix);
        m_top.bind(2, m_after);
        int sequence = 0;
        if (m_top.step())
            sequence = std::atoi(reinterpret_cast<const char*>(m_top.text(0)) + m_prefix.size());
        m_top.reset();
        m_price.bind(1, m_requested);
        m_price.bind(2, n);
        m_price.bind(3, w);
        m_price.bind(4, p);
        const double unit = m_price.step() ? m_price.real(0) : 0;
        m_price.reset();
        m_insert.bind(1, m_prefix + QByteArray::number(sequence + 1).rightJustified(3, '0'));
        m_insert.bind(2, p);
        m_insert.bind(3, w);
        m_insert.bind(4, n);
        m_insert.bind(5, unit);
        m_insert.bind(6, m_requested);
        m_insert.step();
        m_insert.reset();
        m_db.exec("COMMIT");
    }

  private:
    Db& m_db;
    QByteArray m_prefix, m_after, m_requested;
    Statement m_top, m_price, m_insert;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double cpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Wall time of the work; its processor time (user and system) is added to
// *cpu when given. On a shared machine the processor time is the steadier
// figure: waiting for another program's turn does not count.
double timeMs(const std::function<void()>& work, std::vector<double>* cpu = nullptr) {
    const double cpuStart = cpuMs();
    QElapsedTimer t;
    t.start();
    work();
    const double wall = t.nsecsElapsed() / 1e6;
    if (cpu)
        cpu->push_back(cpuMs() - cpuStart);
    return wall;
}

// A figure beside its baseline, shown but not judged.
void reportFigure(const char* what, double ms, double baselineMs) {
    std::printf("%-44s %9.1f ms  baseline %8.1f ms  ratio %5.2f\n", what, ms, baselineMs,
                baselineMs > 0 ? ms / baselineMs : 0);
}

long statusKb(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    return -1;
}

// Peak resident memory counts again from here (Linux).
void resetPeakMemory() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// Which figure judges a list, and against what. On a file the processor
// time is the steadier figure; on a server the work is shared with the
// server's process, which this one's processor clock does not count.
struct Targets {
    const char* engine;
    bool byProcessorTime;
    double list;
    bool judgeEveryList; // else the full list only
    double issueRatio;   // 0: shown, not judged
};
const Targets kSqliteTargets{"SQLite", true, 2.5, false, 0};
const Targets kServerTargets{"PostgreSQL", false, 2.0, true, 1.3};

// The whole workload on one database; *fullListMs gets the full list's
// median wall time.
template <class Db> bool benchmark(const QString& database, double* fullListMs) {
    const Targets& targets = Db::kEngine == SqlEngine::Postgres ? kServerTargets : kSqliteTargets;
    std::printf("\n== %s: %s\n", targets.engine, qPrintable(database));
    BenchDatabase::createTables(database);
    openDatabase(database);
    gEmpCode = QStringLiteral("E001");

    bool filled = false;
    {
        // Read to its end: a statement left open keeps its read snapshot,
        // which the baseline's writes would make stale.
        SqlQuery count(QStringLiteral("SELECT COUNT(*) AS n FROM seihin_t"));
        count.exec();
        filled = count.next() && count.integer(QStringLiteral("n")) > 0;
        count.next();
    }
    if (filled) {
        // Slips issued by an earlier run.
        execSql(QStringLiteral("DELETE FROM seihin_t WHERE 製品伝票番号 >= ?"),
                {QStringLiteral("260401-")});
    } else {
        const double fillMs = timeMs(fill);
        std::printf("filled %d slips, %d price lines, %d home-workers in %.0f ms\n", kSlips,
                    kCombinations * kLinesPerCombination, kPersons, fillMs);
        // Plans and rows as on a server in use, which autovacuum keeps.
        if (Db::kEngine == SqlEngine::Postgres)
            for (const Schema::Table& t : Schema::tables())
                execSql(QStringLiteral("VACUUM ANALYZE ") + QString::fromUtf8(t.name));
    }

    Db raw(database);
    BenchDatabase::exec(raw, BenchDatabase::kLikeTheProgram);

    // Full list: both hide boxes off, every row priced.
    const SlipSearch full{.hideDeleted = false, .hideDelivered = false};
    // Typical lists: the screen's default boxes (live, undelivered), and
    // those of one home-worker.
    SlipSearch oneWorker;
    oneWorker.person = person(17);
    struct Case {
        const char* name;
        SlipSearch search;
        const char* where;
        QByteArray person;
        std::vector<double> logic{}, base{}, logicCpu{}, baseCpu{};
        int rows = 0, baseRows = 0;
    };
    std::vector<Case> cases{
        {"full list", full, "", {}},
        {"opening list", SlipSearch(), " WHERE s.削除フラグ <> 1 AND s.納入日 IS NULL", {}},
        {"one home-worker", oneWorker,
         " WHERE s.削除フラグ <> 1 AND s.納入日 IS NULL AND s.内職者コード = ?",
         person(17).toUtf8()},
    };

    resetPeakMemory();
    const long rssBefore = statusKb("VmRSS:");
    for (int run = 0; run < kRuns; ++run) {
        for (Case& c : cases) {
            c.base.push_back(
                timeMs([&] { c.baseRows = baselineList(raw, c.where, c.person); }, &c.baseCpu));
            c.logic.push_back(timeMs(
                [&] {
                    const QList<QStringList> rows = loadSlipRows(c.search);
                    c.rows = int(rows.size());
                },
                &c.logicCpu));
        }
    }
    const long peakKb = statusKb("VmHWM:");

    // A whole day's slips in a row, then the refused 1000th.
    const QDate day(2026, 4, 1);
    Clock::setFixed(QDateTime(day, QTime(9, 30, 0)));
    SlipInput in;
    in.pno = pno(1);
    in.wno = wno(1);
    in.person = person(1);
    in.requestDate = QStringLiteral("2026/04/01");
    in.issued = QStringLiteral("100");
    std::vector<double> issueMs, baseIssueMs;
    // One by one in turn, so that both meet the same moments of a shared
    // disk: a commit waits for its flush, which other programs slow down.
    BaselineIssuer<Db> baseline(raw, day.addDays(1));
    for (int i = 0; i < SlipsPerDay; ++i) {
        issueMs.push_back(timeMs([&] { InsertSlip(in); }));
        baseIssueMs.push_back(timeMs([&] { baseline.issue(); }));
    }
    bool refused = false;
    try {
        InsertSlip(in);
    } catch (const AppError&) {
        refused = true;
    }
    DBClose();
    Clock::useSystemClock();

    // Each figure is the median of the runs.
    std::printf("targets: %s within %.1fx of the bare C API (%s) and under 250 MB resident;"
                " one slip issued under 20 ms\n",
                targets.judgeEveryList ? "every list" : "the full list", targets.list,
                targets.byProcessorTime ? "processor time" : "wall time");
    bool ok = true;
    for (const Case& c : cases) {
        std::printf("%s: %d rows (baseline %d); wall %.1f ms, baseline %.1f ms, ratio %.2f\n",
                    c.name, c.rows, c.baseRows, median(c.logic), median(c.base),
                    median(c.logic) / median(c.base));
        ok = c.rows == c.baseRows && ok;
        const QByteArray what =
            QByteArray(c.name) + (targets.byProcessorTime ? ", processor time" : ", wall time");
        const double ms = targets.byProcessorTime ? median(c.logicCpu) : median(c.logic);
        const double baseMs = targets.byProcessorTime ? median(c.baseCpu) : median(c.base);
        if (targets.judgeEveryList || &c == &cases[0])
            ok = reportRatio(what.constData(), ms, baseMs, targets.list) && ok;
        else
            reportFigure(what.constData(), ms, baseMs);
    }
    *fullListMs = median(cases[0].logic);
    std::printf("resident: %ld MB before the lists, peak %ld MB (target < 250)\n", rssBefore / 1024,
                peakKb / 1024);
    ok = peakKb < 250 * 1024 && ok;
    std::printf("issuing %d slips one by one: median %.2f ms, max %.2f ms (target < 20 ms);"
                " the 1000th refused: %s\n",
                SlipsPerDay, median(issueMs), *std::max_element(issueMs.begin(), issueMs.end()),
                refused ? "yes" : "NO");
    if (targets.issueRatio > 0)
        ok = reportRatio("one slip issued (median)", median(issueMs), median(baseIssueMs),
                         targets.issueRatio) &&
             ok;
    else
        reportFigure("one slip issued (median)", median(issueMs), median(baseIssueMs));
    return median(issueMs) < 20 && refused && ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QStringList files, servers;
    for (int i = 1; i < argc; ++i) {
        const QString database = QString::fromLocal8Bit(argv[i]);
        (isServerDatabase(database) ? servers : files) << database;
    }
    if (files.isEmpty())
        files << dir.filePath(QStringLiteral("bench.sqlite"));
    bool ok = true;
    double fileListMs = 0, serverListMs = 0;
    for (const QString& file : std::as_const(files))
        ok = benchmark<RawDb>(file, &fileListMs) && ok;
    for (const QString& server : std::as_const(servers)) {
        BenchDatabase::onServer(server,
                                {QStringLiteral("CREATE SCHEMA IF NOT EXISTS bench_slips")});
        ok = benchmark<RawPg>(BenchDatabase::inSchema(server, QStringLiteral("bench_slips")),
                              &serverListMs) &&
             ok;
        std::printf("\n");
        ok = reportRatio("full list, PostgreSQL against SQLite (wall)", serverListMs, fileListMs,
                         1.5) &&
             ok;
    }
    std::printf("%s\n", ok ? "bench_slips: targets met" : "bench_slips: TARGET MISSED");
    return ok ? 0 : 1;
}
