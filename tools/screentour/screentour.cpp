#include "screentour.h"

#include "app/frmlogin.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/ini.h"
#include "core/screens/reportpreview.h"
#include "core/sqlquery.h"
#include "homework/screens/frmledger.h"
#include "homework/screens/frmyearly.h"
#include "masters/masterdef.h"
#include "masters/screens/mastereditscreen.h"
#include "masters/screens/masterlistscreen.h"
#include "prices/screens/frmwrkpricemnt.h"
#include "prices/screens/frmwrkpricemnt2.h"
#include "settlement/screens/frmaccount.h"
#include "settlement/screens/frmatest.h"
#include "settlement/screens/reports/settlementreports.h"
#include "settlement/screens/settlementprinting.h"
#include "settlement/trial.h"
#include "slips/screens/frmdennouhin.h"
#include "slips/screens/frmproduct.h"
#include "slips/screens/frmproduct2.h"
#include "transfer/screens/frmtransfer.h"
#include "transfer/transferfile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace {

// The first row's value of a query on the demo data ("" when none).
QString first(const QString& sql) {
    SqlQuery q(sql);
    q.exec();
    return q.next() ? q.value(q.columns().constFirst()).toString() : QString();
}

QString firstKey(const QString& table, const QString& key) {
    return first(
        QStringLiteral("SELECT MIN(%1) FROM %2 WHERE COALESCE(削除フラグ, 0) = 0").arg(key, table));
}

QString slipWhere(const QString& condition) {
    return first(QStringLiteral("SELECT MIN(製品伝票番号) FROM seihin_t WHERE "
                                "COALESCE(削除フラグ, 0) = 0 AND ") +
                 condition);
}

// The month of the oldest delivered slip still unpaid: a period whose
// late payments the settlement screen warns of.
std::pair<QDate, QDate> unpaidMonth() {
    QDate day = QDate::fromString(
        first(QStringLiteral("SELECT MIN(納入日) FROM seihin_t WHERE 精算日時 IS NULL AND "
                             "納入日 IS NOT NULL AND COALESCE(削除フラグ, 0) = 0"))
            .left(10),
        Qt::ISODate);
    if (!day.isValid())
        day = Clock::today();
    const QDate start(day.year(), day.month(), 1);
    return {start, start.addMonths(1).addDays(-1)};
}

QDateTime lastRun() {
    return QDateTime::fromString(
        first(
            QStringLiteral("SELECT MAX(精算日時) FROM seisan_t WHERE COALESCE(削除フラグ, 0) = 0"))
            .left(19)
            .replace(QLatin1Char('T'), QLatin1Char(' ')),
        QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

template <typename T> T* child(QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}

// Typed as a clerk types: into the box, then Enter to leave it.
void typeInto(QWidget* window, const char* box, const QString& text) {
    auto* edit = child<QLineEdit>(window, box);
    edit->setFocus();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

TourWindow alone(QWidget* w) {
    return {std::unique_ptr<QWidget>(w), w};
}

// A window opened over another one that must stay alive beneath it.
TourWindow over(QWidget* beneath, QWidget* shown) {
    return {std::unique_ptr<QWidget>(beneath), shown};
}

TourWindow preview(QWidget* menu, const BandedReport& report) {
    return alone(new ReportPreview(report, menu));
}

ReportContext reportContext() {
    return {IniRead(QStringLiteral("User"), QStringLiteral("Name")), Clock::today(),
            configuredPaidFigure()};
}

QString runText() {
    return formatDateTime(lastRun());
}

frmAccount* settlementOverUnpaidMonth(QWidget* menu) {
    auto* screen = new frmAccount(menu);
    showAndSettle(screen);
    const auto [firstDay, lastDay] = unpaidMonth();
    typeInto(screen, "txtDay_0", firstDay.toString(QStringLiteral("yyyyMMdd")));
    auto* last = child<QLineEdit>(screen, "txtDay_1");
    last->clear();
    typeInto(screen, "txtDay_1", lastDay.toString(QStringLiteral("yyyyMMdd")));
    return screen;
}

QList<TourStop> masterStops() {
    QList<TourStop> stops;
    const std::pair<const MasterDef*, const char*> masters[] = {{&pnoMaster(), "drawings"},
                                                                {&workCodeMaster(), "workcodes"},
                                                                {&empMaster(), "employees"},
                                                                {&personMaster(), "homeworkers"}};
    for (const auto& [def, name] : masters) {
        stops.append({QStringLiteral("master-%1-list").arg(QLatin1String(name)),
                      [def](QWidget* menu) { return alone(new MasterListScreen(*def, menu)); }});
        stops.append(
            {QStringLiteral("master-%1-edit").arg(QLatin1String(name)), [def](QWidget* menu) {
                 auto* list = new MasterListScreen(*def, menu);
                 const QString key = firstKey(def->table, def->fields.constFirst().column);
                 return over(list, new MasterEditScreen(*def, list, EditMode::Edit, key));
             }});
    }
    return stops;
}

} // namespace

void showAndSettle(QWidget* window) {
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(20);
    }
}

QList<TourStop> screenTour() {
    QList<TourStop> stops = {
        {"login", [](QWidget*) { return alone(new FrmLogin); }},
        {"menu",
         [](QWidget* menu) {
             return TourWindow{nullptr, menu};
         }},
    };
    stops += masterStops();
    stops += {
        {"price-list", [](QWidget* menu) { return alone(new frmWrkPriceMnt(menu)); }},
        {"price-edit",
         [](QWidget* menu) {
             auto* list = new frmWrkPriceMnt(menu);
             const qint64 serial =
                 firstKey(QStringLiteral("tanka_m"), QStringLiteral("単価シリアル")).toLongLong();
             return over(list, new frmWrkPriceMnt2(list, EditMode::Edit, serial));
         }},
        {"price-from-slip",
         [](QWidget* menu) {
             const QString slip = slipWhere(QStringLiteral("1 = 1"));
             SqlQuery q(QStringLiteral("SELECT 製品図番, 作業コード, 内職者コード, 依頼日 FROM "
                                       "seihin_t WHERE 製品伝票番号 = ?"));
             q.bind(slip).exec();
             q.next();
             return alone(new frmWrkPriceMnt2(
                 menu, q.str("製品図番"), q.str("作業コード"), q.str("内職者コード"),
                 QDate::fromString(q.str("依頼日").left(10), Qt::ISODate)));
         }},
        {"slip-search", [](QWidget* menu) { return alone(new frmProduct(menu)); }},
        {"slip-new",
         [](QWidget* menu) { return alone(new frmProduct2(menu, nullptr, EditMode::Add)); }},
        {"slip-delivered",
         [](QWidget* menu) {
             const QString slip =
                 slipWhere(QStringLiteral("納入日 IS NOT NULL AND 精算日時 IS NULL"));
             return alone(new frmProduct2(menu, nullptr, EditMode::Edit, slip));
         }},
        {"slip-paid",
         [](QWidget* menu) {
             const QString slip = slipWhere(QStringLiteral("精算日時 IS NOT NULL"));
             return alone(new frmProduct2(menu, nullptr, EditMode::Edit, slip));
         }},
        {"delivery", [](QWidget* menu) { return alone(new frmDenNouhin(menu)); }},
        {"settlement-start", [](QWidget* menu) { return alone(new frmAccount(menu)); }},
        {"settlement-unpaid-month",
         [](QWidget* menu) { return alone(settlementOverUnpaidMonth(menu)); }},
        {"settlement-run",
         [](QWidget* menu) {
             auto* screen = new frmAccount(menu);
             showAndSettle(screen);
             child<QAbstractButton>(screen, "optSeisan")->click();
             typeInto(screen, "txtDatetime", lastRun().toString(QStringLiteral("yyyyMMdd")));
             return alone(screen);
         }},
        {"trial",
         [](QWidget* menu) {
             const auto [firstDay, lastDay] = unpaidMonth();
             SettlementCriteria criteria;
             criteria.firstDay = firstDay;
             criteria.lastDay = lastDay;
             return alone(new frmATest(menu, RunTrial(criteria).rows, firstDay, lastDay));
         }},
        {"report-statement",
         [](QWidget* menu) {
             const auto data = prepareStatementPrint(runText());
             return preview(menu,
                            drptAccount(data ? data->lines : QList<StatementLine>{},
                                        data ? data->settled : QMap<QString, SettledFigures>{},
                                        reportContext()));
         }},
        {"report-cash",
         [](QWidget* menu) {
             const auto data = prepareCashPrint(runText());
             return preview(menu, drptKinshu(runText(), data ? data->lines : QList<CashLine>{},
                                             reportContext()));
         }},
        {"report-classes",
         [](QWidget* menu) {
             const auto data = prepareClassPrint(runText());
             return preview(menu,
                            drptPnoAccount(data ? data->lines : QList<PnoLine>{}, reportContext()));
         }},
        {"transfer",
         [](QWidget* menu) { return alone(new frmTransfer(menu, loadTransferBatch(lastRun()))); }},
        {"ledger", [](QWidget* menu) { return alone(new frmLedger(menu)); }},
        {"yearly", [](QWidget* menu) { return alone(new frmYearly(menu)); }},
    };
    return stops;
}
