#include "core/clock.h"
#include "core/sqltransaction.h"
#include "settlement/settlementrun.h"
#include "settlement/trial.h"
#include "settlementfixtures.h"
#include "support/golden.h"
#include "support/testdatabase.h"

#include <QtTest>

using namespace SettlementFixtures;

// Runs large enough to be written in several chunks: each chunk must reach
// the tables, and the bar must move with them.
class TestSettlementBulk : public QObject {
    Q_OBJECT
  private slots:
    void everyChunkOfARunIsWritten() {
        const QString d = goldenCases("bulk-runs.txt", [](const QStringList& f) {
            TestDatabase db(QDateTime(QDate(2004, 5, 6), QTime(17, 30)));
            const int slips = f[1].toInt();
            {
                SqlTransaction tx;
                addPrice(1, "P-100", "W1", "N01", 10.5, "2004/01/01");
                addPrice(2, "P-100", "W1", "N02", 10.5, "2004/01/01");
                for (int i = 0; i < slips; ++i)
                    addSlip(QStringLiteral("S%1").arg(i, 5, 10, QLatin1Char('0')),
                            i % 2 ? "N02" : "N01", "P-100", "W1", i % 3 ? 0 : 10.5, 3);
                tx.commit();
            }
            const SettlementCriteria april = criteria("2004/04/01", "2004/04/30");
            QList<qint64> steps;
            const auto record = [&steps](qint64 done, qint64 total) {
                if (steps.isEmpty() || steps.last() <= done)
                    steps << done;
                else
                    steps << -total; // the bar went back
            };
            const SettlementResult r = RunSettlement(april, record);
            const QString settled = rows("SELECT 内職者コード, 精算対象伝票枚数, 精算金額 FROM"
                                         " seisan_t ORDER BY 1")
                                        .join(' ');
            const QString stamped =
                rows("SELECT COUNT(*) FROM seihin_t WHERE 精算日時 IS NOT NULL AND 精算単価 = 10.5")
                    .join(' ');
            const qint64 released = CancelSettlement(april).slipsReleased;
            execSql("UPDATE seihin_t SET 精算単価 = 0");
            const TrialResult t = RunTrial(april);
            return QStringList{QString::number(r.slipCount),
                               QString::number(r.pricesChanged),
                               settled,
                               stamped,
                               QString::number(steps.size()),
                               QString::number(steps.last()),
                               QString::number(released),
                               QString::number(t.pricesChanged)}
                .join(" ; ");
        });
        QVERIFY2(d.isEmpty(), qPrintable(d));
    }
};

QTEST_GUILESS_MAIN(TestSettlementBulk)
#include "test_settlement_bulk.moc"
