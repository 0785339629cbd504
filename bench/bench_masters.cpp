// Times the master lists and the lookup combo boxes on a database of
// 20,000 home-workers and 20,000 drawing numbers. Run by hand:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_masters
#include "core/database.h"
#include "core/schema.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/sideconnection.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "masters/lookup.h"
#include "masters/masterrecord.h"
#include "masters/screens/lookups.h"
#include "masters/screens/masterlistloaders.h"
#include "masters/screens/masterlistscreen.h"
#include "rawsqlite.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

namespace {
constexpr int kRows = 20000;

void fill(const QString& path) {
    Schema::createFile(path);
    const SideConnection file(path, SideConnection::Open::AsProgram);
    const QSqlDatabase& db = file.db();
    {
        SqlTransaction tx(db);
        SqlQuery person(
            db, QStringLiteral(
                    "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 生年月日, 郵便番号, "
                    "住所, 電話, ランク, 備考, 削除フラグ) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        SqlQuery drawing(
            db, QStringLiteral("INSERT INTO zuban_m (製品図番, 図番名称, 備考, 削除フラグ) "
                               "VALUES (?, ?, ?, ?)"));
        for (int i = 0; i < kRows; ++i) {
            const QString n = QString::number(i).rightJustified(6, QLatin1Char('0'));
            person.bind(QStringLiteral("N") + n)
                .bind(QStringLiteral("内職者　太郎") + n)
                .bind(QStringLiteral("1960-05-03"))
                .bind(QStringLiteral("123-4567"))
                .bind(QStringLiteral("東京都千代田区千代田一丁目") + n)
                .bind(QStringLiteral("03-1234-5678"))
                .bind(QStringLiteral("A"))
                .bind(QStringLiteral("備考"))
                .bind(i % 50 == 0 ? 1 : 0)
                .exec();
            drawing.bind(QStringLiteral("DRW-") + n)
                .bind(QStringLiteral("製品図番名称の例") + n)
                .bind(QStringLiteral("備考"))
                .bind(i % 50 == 0 ? 1 : 0)
                .exec();
        }
        tx.commit();
    }
}

double bestMs(const std::function<void()>& run, int times = 5) {
    double best = 1e12;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        best = qMin(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

void report(const QString& what, double ms, double target) {
    QTextStream(stdout) << what.leftJustified(44) << QString::number(ms, 'f', 1).rightJustified(8)
                        << " ms"
                        << (target > 0 ? QStringLiteral("  (target < %1 ms%2)")
                                             .arg(target)
                                             .arg(ms < target ? "" : ", MISSED")
                                       : QString())
                        << Qt::endl;
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    fill(path);
    openDatabase(path);

    RawDb raw(path);
    bool ok = true;
    for (const MasterDef* def : {&personMaster(), &pnoMaster()}) {
        report(def->listScreen + QStringLiteral(" rows read"),
               bestMs([def] { masterListRows(*def, false); }), 0);
        MasterListScreen screen(*def);
        const double ms = bestMs([&] {
            GridLayout(screen.findChild<ListGrid*>(), def->list);
            loadMasterList(&screen, *def, 0);
        });
        report(def->listScreen + QStringLiteral(" grid load (all rows)"), ms, 300);
        const QString sql =
            QStringLiteral("SELECT %1, 削除フラグ FROM %2 ORDER BY %3")
                .arg(def->listColumns.join(QStringLiteral(", ")), def->table, def->key().column);
        ok = reportRatio(qPrintable(def->listScreen + QStringLiteral(" list load")), ms,
                         bestMs([&] { RawStatement(raw, sql).readAllAsText(); }), 3.0) &&
             ok;
    }

    QWidget form;
    auto* pno = new QComboBox(&form);
    pno->setObjectName(QStringLiteral("cboPno"));
    pno->setEditable(true);
    auto* person = new QComboBox(&form);
    person->setObjectName(QStringLiteral("cboPerson"));
    person->setEditable(true);
    report(QStringLiteral("cboPno items read"),
           bestMs([] { Lookup::items(Lookup::drawingNumbers()); }), 0);
    const double pnoMs = bestMs([&] {
        pno->clear();
        LookupPno(pno, LookupMode::Fill);
    });
    report(QStringLiteral("cboPno fill"), pnoMs, 200);
    const double personMs = bestMs([&] {
        person->clear();
        LookupPerson(person, LookupMode::Fill);
    });
    report(QStringLiteral("cboPerson fill"), personMs, 200);
    const auto rawCombo = [&raw](const char* sql) {
        return bestMs([&] { RawStatement(raw, QString::fromUtf8(sql)).readAllAsText(); });
    };
    ok = reportRatio("cboPno fill", pnoMs,
                     rawCombo("SELECT 製品図番, 図番名称 FROM zuban_m"
                              " WHERE (COALESCE(削除フラグ, 0) <> 1) ORDER BY 製品図番"),
                     3.0) &&
         ok;
    ok = reportRatio("cboPerson fill", personMs,
                     rawCombo("SELECT 内職者コード, 内職者氏名 FROM naishoku_m"
                              " WHERE (COALESCE(削除フラグ, 0) <> 1) ORDER BY 内職者コード"),
                     3.0) &&
         ok;
    form.show();
    QElapsedTimer shown;
    shown.start();
    QApplication::processEvents();
    report(QStringLiteral("form with both filled combos shown"), shown.nsecsElapsed() / 1e6, 0);
    report(QStringLiteral("one lookup (cboPno Find)"), bestMs([&] {
               pno->setEditText(QStringLiteral("DRW-012345"));
               LookupPno(pno, LookupMode::Find);
           }),
           0);
    QTextStream(stdout) << "rows: " << kRows << " per table; combo items " << pno->count() << ", "
                        << person->count() << Qt::endl;
    DBClose();
    std::printf("%s\n", ok ? "bench_masters: targets met" : "bench_masters: TARGET MISSED");
    return ok ? 0 : 1;
}
