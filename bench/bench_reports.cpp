// Times the settlement statement of a large run: 30,000 slips over 300
// home-workers, built, laid out and written to PDF. The baseline reads as
// many rows of the statement's work table with the bare sqlite3 C API. Run
// by hand:
//   build/bench/bench_reports
#include "core/screens/appsetup.h"
#include "core/screens/reportpainter.h"
#include "settlement/screens/reports/settlementreports.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>

namespace {

constexpr int kPersons = 300;
constexpr int kSlipsPerPerson = 100;
constexpr int kSlips = kPersons * kSlipsPerPerson;

QList<StatementLine> statementLines() {
    const QDateTime run(QDate(2026, 4, 1), QTime(9, 30, 0));
    QList<StatementLine> lines;
    lines.reserve(kSlips);
    for (int p = 0; p < kPersons; ++p)
        for (int s = 0; s < kSlipsPerPerson; ++s) {
            const UnitPrice price = UnitPrice::fromTenThousandths(10000 + 1250 * (s % 40));
            const qint64 quantity = 10 + (s * 7) % 300;
            lines.append(StatementLine{
                run, QStringLiteral("N%1").arg(p, 4, 10, QLatin1Char('0')),
                QStringLiteral("内職者　%1").arg(p), QDate(2026, 3, 1).addDays(s % 28),
                QStringLiteral("P%1-%2").arg(s % 50).arg(s), QStringLiteral("W%1").arg(s % 5),
                QStringLiteral("作業項目%1").arg(s % 5), price, quantity,
                amountOf(price, quantity)});
        }
    return lines;
}

void check(int rc, sqlite3* db, int expected = SQLITE_OK) {
    if (rc != expected) {
        std::fprintf(stderr, "sqlite3: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Reads the statement rows of one run as the work-table query would,
// every column as text; returns the seconds taken by the read alone.
double baselineSeconds(const QString& path) {
    sqlite3* db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db,
                       "CREATE TABLE wk_PersonA (精算日時 TEXT, 内職者コード TEXT, 精算日 TEXT,"
                       " 内職者名 TEXT, 依頼日 TEXT, 製品図番 TEXT, 作業コード TEXT,"
                       " 作業項目 TEXT, 単価 TEXT, 払出数 TEXT, 金額小計 TEXT)",
                       nullptr, nullptr, nullptr),
          db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO wk_PersonA VALUES (?,?,?,?,?,?,?,?,?,?,?)", -1,
                             &insert, nullptr),
          db);
    for (int i = 0; i < kSlips; ++i) {
        const QByteArray person = QStringLiteral("N%1").arg(i / kSlipsPerPerson).toUtf8();
        const QByteArray pno = QStringLiteral("P%1").arg(i % 50).toUtf8();
        const char* texts[11] = {"2026/04/01 09:30:00",
                                 person.constData(),
                                 "2026/04/01 09:30:00",
                                 "内職者",
                                 "2026/03/01",
                                 pno.constData(),
                                 "W1",
                                 "作業項目",
                                 "12.500",
                                 "100",
                                 "1,250"};
        for (int c = 0; c < 11; ++c)
            sqlite3_bind_text(insert, c + 1, texts[c], -1, SQLITE_STATIC);
        check(sqlite3_step(insert), db, SQLITE_DONE);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);

    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* select = nullptr;
    check(sqlite3_prepare_v2(db,
                             "SELECT * FROM wk_PersonA ORDER BY 精算日時, 内職者コード, 依頼日,"
                             " 製品図番, 作業コード",
                             -1, &select, nullptr),
          db);
    qint64 bytes = 0;
    int rows = 0;
    while (sqlite3_step(select) == SQLITE_ROW) {
        for (int c = 0; c < 11; ++c)
            bytes += sqlite3_column_bytes(select, c) +
                     (sqlite3_column_text(select, c) != nullptr ? 1 : 0);
        ++rows;
    }
    sqlite3_finalize(select);
    const double seconds = timer.nsecsElapsed() / 1e9;
    sqlite3_close(db);
    std::printf("baseline: sqlite3 read %d work-table rows (%lld bytes) in %.3f s\n", rows,
                static_cast<long long>(bytes), seconds);
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    QTemporaryDir dir;

    const QList<StatementLine> lines = statementLines();
    const ReportContext context{QStringLiteral("株式会社ベンチ製作所"), QDate(2026, 4, 2)};

    const std::clock_t cpuStart = std::clock();
    QElapsedTimer total;
    total.start();
    QElapsedTimer step;
    step.start();
    const BandedReport report = drptAccount(lines, context);
    const double buildSeconds = step.nsecsElapsed() / 1e9;
    step.restart();
    const int pages = report.pageCount();
    const double layoutSeconds = step.nsecsElapsed() / 1e9;
    step.restart();
    const QString path = dir.filePath(QStringLiteral("statement.pdf"));
    {
        QPdfWriter writer(path);
        writer.setTitle(report.title());
        if (!printReport(report, writer)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const double paintSeconds = step.nsecsElapsed() / 1e9;
    const double seconds = total.nsecsElapsed() / 1e9;
    // The machine is shared: processor time shows the work without the waiting.
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;

    std::printf("statement: %d slips, %d home-workers, %d pages, %.1f MB of PDF\n", kSlips,
                kPersons, pages, QFileInfo(path).size() / 1e6);
    std::printf("  build %.3f s, lay out %.3f s, paint to PDF %.3f s\n", buildSeconds,
                layoutSeconds, paintSeconds);
    std::printf("  total %.3f s (target under 10 s), %.2f ms per page; %.3f s of processor time\n",
                seconds, 1000 * seconds / pages, cpuSeconds);

    const double baseline = baselineSeconds(dir.filePath(QStringLiteral("baseline.sqlite")));
    std::printf("ratio statement / baseline read: %.1f\n", seconds / baseline);
    return seconds < 10 ? 0 : 2;
}
