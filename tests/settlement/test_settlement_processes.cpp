#include "core/apperror.h"
#include "core/database.h"
#include "settlement/settlementrun.h"
#include "settlementfixtures.h"
#include "support/testdatabase.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>
#include <cstdio>

using namespace SettlementFixtures;

namespace {

constexpr int kWorkers = 20;
constexpr int kSlipsPerWorker = 20;

QString worker(int i) {
    return QStringLiteral("N%1").arg(i, 2, 10, QLatin1Char('0'));
}

// Run as a child process: settles April for the workers up to
// TARVEL_SETTLE_TO (all when empty), saying "started" first. It holds the
// run TARVEL_SETTLE_HOLD_MS after the first slip, and sleeps
// TARVEL_SETTLE_SLOW_US after every slip, so that others can meet it.
int settleAsChild(const QString& path) {
    openDatabase(path);
    const int holdMs = qEnvironmentVariableIntValue("TARVEL_SETTLE_HOLD_MS");
    const int slowUs = qEnvironmentVariableIntValue("TARVEL_SETTLE_SLOW_US");
    std::puts("started");
    std::fflush(stdout);
    try {
        RunSettlement(
            criteria("2004/04/01", "2004/04/30", {}, qEnvironmentVariable("TARVEL_SETTLE_TO")),
            [&](qint64 done, qint64) {
                if (done == 1 && holdMs > 0) {
                    std::puts("holding");
                    std::fflush(stdout);
                    QThread::msleep(holdMs);
                }
                if (slowUs > 0)
                    QThread::usleep(slowUs);
            });
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}

void fillSlips() {
    for (int w = 1; w <= kWorkers; ++w) {
        addPrice(w, "P-100", "W1", worker(w), 10.5 + w, "2004/01/01");
        for (int s = 0; s < kSlipsPerWorker; ++s)
            addSlip(QStringLiteral("%1-%2").arg(worker(w)).arg(s), worker(w), "P-100", "W1", 0,
                    1 + s);
    }
}

void startChild(QProcess& child, const QString& path, const QStringList& settings) {
    TestRuns::startCopy(child, QStringList{"TARVEL_SETTLE_CHILD=" + path} + settings);
}

bool waitForLine(QProcess& child, const QByteArray& line) {
    while (child.waitForReadyRead(20000))
        if (child.readAll().contains(line))
            return true;
    return false;
}

QString integrity() {
    // A server keeps no file for a killed program to leave broken.
    return rows(EngineSql{"PRAGMA integrity_check", "SELECT 'ok'"}.on(gCon())).join(' ');
}

} // namespace

class TestSettlementProcesses : public QObject {
    Q_OBJECT
  private slots:
    void killedRunIsEitherWholeOrAbsent() {
        TestDatabase db;
        fillSlips();
        DBClose();
        const QString slow = "TARVEL_SETTLE_SLOW_US=300";

        // One run to the end tells how long settling takes on this machine.
        const QString timed = db.copy("timed");
        QProcess first;
        startChild(first, timed, {slow});
        QVERIFY(waitForLine(first, "started"));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        const qint64 runMs = clock.elapsed();

        // Kill points spread from the very start to well past the end.
        int untouched = 0, settled = 0;
        const int kills = 12;
        for (int i = 0; i < kills; ++i) {
            const QString path = db.copy(QStringLiteral("kill%1").arg(i));
            QProcess child;
            startChild(child, path, {slow});
            QVERIFY(waitForLine(child, "started"));
            const qint64 at =
                runMs * i * 3 / (2 * (kills - 1)) + QRandomGenerator::global()->bounded(5);
            QThread::msleep(static_cast<unsigned long>(at));
            child.kill();
            QVERIFY(child.waitForFinished(20000));

            openDatabase(path);
            QCOMPARE(integrity(), "ok");
            // Slips stamped and settlement rows: none, or all of them.
            const QString state =
                rows("SELECT (SELECT COUNT(*) FROM seihin_t WHERE 精算日時 IS NOT NULL) AS"
                     " slips, (SELECT COUNT(*) FROM seisan_t) AS runs")
                    .value(0);
            QVERIFY2(state == "0|0" ||
                         state ==
                             QStringLiteral("%1|%2").arg(kWorkers * kSlipsPerWorker).arg(kWorkers),
                     qPrintable(QStringLiteral("killed after %1 ms: %2").arg(at).arg(state)));
            QCOMPARE(settlementDisagreement(), QString());
            (state == "0|0" ? untouched : settled) += 1;
            DBClose();
        }
        qInfo("killed %d times: %d untouched, %d fully settled (a run took %lld ms)", kills,
              untouched, settled, runMs);
        QVERIFY(untouched > 0 && settled > 0);
    }

    void secondCopyWaitsAndNeverPaysASlipTwice() {
        struct Case {
            const char* name;
            int holdMs;
            QString childTo; // the child's last worker
            bool inUse;      // the second run gives up
            int secondSlips; // slips the second run pays
        };
        const QList<Case> cases = {
            {"held past the busy timeout", 6000, "", true, 0},
            {"held briefly, more slips", 800, worker(10), false, 10 * kSlipsPerWorker},
        };
        for (const Case& c : cases) {
            TestDatabase db;
            fillSlips();
            QProcess child;
            startChild(child, db.path(),
                       {QStringLiteral("TARVEL_SETTLE_HOLD_MS=%1").arg(c.holdMs),
                        QStringLiteral("TARVEL_SETTLE_TO=%1").arg(c.childTo)});
            QVERIFY(waitForLine(child, "holding"));

            SettlementResult second;
            const QString error = TestRuns::errorOf(
                [&] { second = RunSettlement(criteria("2004/04/01", "2004/04/30")); });
            QVERIFY(child.waitForFinished(30000));
            QCOMPARE(child.exitCode(), 0);
            QVERIFY2(error.contains("使用中") == c.inUse, qPrintable(error));
            QCOMPARE(second.slipCount, c.secondSlips);
            QCOMPARE(rows("SELECT COUNT(*) FROM seihin_t WHERE 精算日時 IS NOT NULL"),
                     QStringList{QString::number(c.childTo.isEmpty()
                                                     ? kWorkers * kSlipsPerWorker
                                                     : 10 * kSlipsPerWorker + c.secondSlips)});
            QCOMPARE(
                rows("SELECT COUNT(*) FROM seisan_t GROUP BY 内職者コード HAVING COUNT(*) > 1"),
                QStringList{});
            QCOMPARE(settlementDisagreement(), QString());
        }
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString childPath = qEnvironmentVariable("TARVEL_SETTLE_CHILD");
    if (!childPath.isEmpty())
        return settleAsChild(childPath);
    TestSettlementProcesses test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settlement_processes.moc"
