// Times the settlement statement of a large run: 30,000 slips over 300
// home-workers, built, laid out and written to PDF. The baseline reads as
// many rows of the statement's work table with the bare sqlite3 C API. Run
// by hand:
//   build/bench/bench_reports
#include "core/schema.h"
#include "core/screens/appsetup.h"
#include "core/screens/reportpainter.h"
#include "rawsqlite.h"
#include "settlement/screens/reports/settlementreports.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

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

// Reads the statement rows of one run as the work-table query would, every
// column as text; the rows are written first, untimed. Seconds of the read.
double baselineSeconds(const QString& path) {
    Schema::createFile(path);
    RawDb db(path);
    db.exec("BEGIN");
    {
        RawStatement insert(db, QStringLiteral("INSERT INTO wk_PersonA VALUES"
                                               " (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < kSlips; ++i) {
            const QByteArray texts[11] = {"2026/04/01 09:30:00",
                                          QByteArray::number(i / kSlipsPerPerson),
                                          "2026/04/01 09:30:00",
                                          QStringLiteral("内職者").toUtf8(),
                                          "2026/03/01",
                                          "P" + QByteArray::number(i % 50),
                                          "W1",
                                          QStringLiteral("作業項目").toUtf8(),
                                          "12.500",
                                          "100",
                                          "1,250"};
            for (int c = 0; c < 11; ++c)
                insert.bind(c + 1, texts[c]);
            insert.step();
            insert.reset();
        }
    }
    db.exec("COMMIT");

    QElapsedTimer timer;
    timer.start();
    RawStatement select(db, QStringLiteral("SELECT * FROM wk_PersonA ORDER BY 精算日時,"
                                           " 内職者コード, 依頼日, 製品図番, 作業コード"));
    const long long bytes = select.readAllAsText();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("baseline: sqlite3 read %d work-table rows (%lld bytes) in %.3f s\n", kSlips, bytes,
                seconds);
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
