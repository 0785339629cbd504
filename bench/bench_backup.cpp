// Times the program's backups of a database with 100,000 slips against the
// bare sqlite3 backup API copying the same file as `sqlite3 .backup` does:
// the automatic backup before a run (online copy, quick_check and row
// counts of the copy; target 2x) and tarvel-admin backup (the same with
// the full integrity_check; reported).
// Run by hand:
//   build/bench/bench_backup [SLIPS]
#include "backup/autobackup.h"
#include "settlementbench.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

double baseline(const QString& source, const QString& target) {
    QElapsedTimer t;
    t.start();
    RawDb src(source);
    sqlite3* dst = nullptr;
    sqlite3_open(target.toUtf8().constData(), &dst);
    sqlite3_backup* b = sqlite3_backup_init(dst, "main", src.handle(), "main");
    while (sqlite3_backup_step(b, 100) == SQLITE_OK) {
    }
    sqlite3_backup_finish(b);
    sqlite3_close(dst);
    return t.nsecsElapsed() / 1e6;
}

double program(const QString& source, const QString& folder, int round, DatabaseCopy::Depth depth) {
    QElapsedTimer t;
    t.start();
    AutoBackup::take(source, {folder, 100, depth},
                     QDateTime(QDate(2026, 12, 7), QTime(10, 0, round)));
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int slips = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("tarvel.sqlite"));
    SettlementBench::fillFile(db, slips);
    std::printf("bench_backup: %d slips, %.1f MB\n", slips, QFileInfo(db).size() / 1e6);
    double quick = 1e300, full = 1e300, bestBase = 1e300;
    const QString folder = dir.filePath(QStringLiteral("backups"));
    for (int round = 0; round < 5; ++round) {
        const QString raw = dir.filePath(QStringLiteral("raw-%1.db").arg(round));
        bestBase = std::min(bestBase, baseline(db, raw));
        quick = std::min(quick, program(db, folder, 2 * round, DatabaseCopy::Depth::Quick));
        full = std::min(full, program(db, folder, 2 * round + 1, DatabaseCopy::Depth::Full));
        QFile::remove(raw);
    }
    const double ratio = quick / bestBase;
    std::printf("  sqlite3 backup API        %8.1f ms\n"
                "  before a run (quick)      %8.1f ms  ratio %.2f (target <= 2.00)\n"
                "  tarvel-admin backup (full)%8.1f ms  ratio %.2f\n",
                bestBase, quick, ratio, full, full / bestBase);
    const bool ok = ratio <= 2.0;
    std::printf("\n%s\n", ok ? "bench_backup: target met" : "bench_backup: TARGET MISSED");
    return ok ? 0 : 1;
}
