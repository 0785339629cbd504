#include "demodata.h"

#include "demoaccounts.h"
#include "demonames.h"
#include "demoprices.h"

#include "core/passwordhash.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "core/sqlvalues.h"

#include <QMap>
#include <QRandomGenerator>
#include <algorithm>

namespace {

using namespace DemoNames;

constexpr int kSlipDays = 150;         // how far back the slips go
constexpr int kPercentDeleted = 3;     // slips cancelled by the office
constexpr int kPercentUndelivered = 4; // batches that are long overdue
constexpr int kUnpaidDeliveries = 3;   // the oldest deliveries, never settled
constexpr int kPercentShort = 15;      // batches returned with fewer pieces
const QString kSettlingEmployee = "002";
constexpr int kDeletedWorker = 17;  // a home-worker who has stopped working
constexpr int kDeletedDrawing = 28; // a product that is no longer made

struct Slip {
    QString number;
    DemoPrices::Combo combo;
    UnitPrice price;
    int issued = 0;
    int delivered = 0;
    QDate requested;
    QDate deliveredOn;
    QString employee;
    bool deleted = false;
    bool settled = false;
    QDateTime updated;
};

QString homeWorkerCode(int index) {
    return QStringLiteral("N%1").arg(index + 1, 3, 10, QLatin1Char('0'));
}

QDate nextWorkday(QDate d) {
    while (d.dayOfWeek() > 5)
        d = d.addDays(1);
    return d;
}

class Builder {
  public:
    Builder(const QSqlDatabase& db, const QDateTime& now, quint32 seed)
        : m_db(db), m_now(now), m_today(now.date()), m_rng(seed),
          m_mastersUpdated(m_today.addMonths(-15).addDays(-m_today.day() + 1), QTime(10, 0)) {}

    DemoData::Summary run() {
        SqlTransaction tx(m_db);
        insertMasters();
        DemoAccounts::insert(m_db);
        m_prices = DemoPrices::build(m_rng, m_today, liveWorkerCodes(), liveDrawingNumbers(),
                                     deletedWorkerCode(), deletedDrawingNumber());
        DemoPrices::insert(m_db, m_prices, m_mastersUpdated.date(), QStringLiteral("001"), m_now);
        makeSlips();
        settle();
        insertSlips();
        tx.commit();
        m_summary.priceLines = int(m_prices.lines.size());
        m_summary.slips = int(m_slips.size());
        return m_summary;
    }

  private:
    int pick(int n) { return int(m_rng.bounded(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    void exec(const QString& sql, const QVariantList& values) { execSql(m_db, sql, values); }
    QVariant stamp() const { return SqlValue::dateTime(m_mastersUpdated); }
    QDateTime at(const QDate& d, const QTime& t) const { return std::min(QDateTime(d, t), m_now); }

    QStringList liveWorkerCodes() const {
        QStringList codes;
        for (int i = 0; i < homeWorkers().size(); ++i)
            if (i != kDeletedWorker)
                codes << homeWorkerCode(i);
        return codes;
    }
    QString deletedWorkerCode() const { return homeWorkerCode(kDeletedWorker); }
    QStringList liveDrawingNumbers() const {
        QStringList numbers;
        for (int i = 0; i < drawings().size(); ++i)
            if (i != kDeletedDrawing)
                numbers << drawings().at(i).number;
        return numbers;
    }
    QString deletedDrawingNumber() const { return drawings().at(kDeletedDrawing).number; }

    void insertMasters() {
        for (const Employee& e : employees())
            exec("INSERT INTO syain_m (社員コード, 氏名, パスワード, 備考, 最終更新日時, "
                 "削除フラグ) "
                 "VALUES (?, ?, ?, ?, ?, ?)",
                 {e.code, e.name,
                  e.password.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                       : PasswordHash::make(e.password),
                  e.remark, stamp(), e.deleted ? 1 : 0});
        for (int i = 0; i < homeWorkers().size(); ++i) {
            const HomeWorker& w = homeWorkers().at(i);
            exec(
                "INSERT INTO naishoku_m (内職者コード, 内職者氏名, 生年月日, 郵便番号, 住所, 電話, "
                "携帯電話, ファックス, メールアドレス, ランク, 備考, 最終更新日時, 削除フラグ) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {homeWorkerCode(i), w.name,
                 SqlValue::date(QDate::fromString(w.birthDate, Qt::ISODate)), w.postalCode,
                 w.address, w.phone, w.mobile, w.fax, w.mail, w.rank,
                 i == kDeletedWorker ? QStringLiteral("転居のため終了") : QStringLiteral(""),
                 stamp(), i == kDeletedWorker ? 1 : 0});
        }
        for (int i = 0; i < drawings().size(); ++i)
            exec("INSERT INTO zuban_m (製品図番, 図番名称, 備考, 最終更新日時, 削除フラグ, "
                 "社員コード) "
                 "VALUES (?, ?, ?, ?, ?, ?)",
                 {drawings().at(i).number, drawings().at(i).name,
                  i == kDeletedDrawing ? QStringLiteral("生産終了") : QStringLiteral(""), stamp(),
                  i == kDeletedDrawing ? 1 : 0, QStringLiteral("001")});
        for (const WorkCode& w : workCodes())
            exec("INSERT INTO sagyou_m (作業コード, 作業項目, 備考, 最終更新日時, 削除フラグ, "
                 "社員コード) "
                 "VALUES (?, ?, ?, ?, 0, ?)",
                 {w.code, w.item, QStringLiteral(""), stamp(), QStringLiteral("001")});
        m_summary.employees = int(employees().size());
        m_summary.homeWorkers = int(homeWorkers().size());
        m_summary.drawings = int(drawings().size());
        m_summary.workCodes = int(workCodes().size());
    }

    // Slips are issued on the day of the request, a few each working day.
    void makeSlips() {
        const QStringList workers = liveWorkerCodes();
        const QStringList issuers = {"001", "002", "003"};
        for (QDate d = m_today.addDays(-kSlipDays); d <= m_today; d = d.addDays(1)) {
            if (d.dayOfWeek() > 5)
                continue;
            const int count = 1 + pick(4);
            for (int seq = 1; seq <= count; ++seq) {
                Slip s;
                s.number = QStringLiteral("%1-%2")
                               .arg(d.toString(QStringLiteral("yyMMdd")))
                               .arg(seq, 3, 10, QLatin1Char('0'));
                const QList<DemoPrices::Combo> combos =
                    m_prices.combosOf(workers.at(pick(int(workers.size()))));
                s.combo = combos.at(pick(int(combos.size())));
                s.price = m_prices.priceOn(s.combo, d);
                s.requested = d;
                s.issued = (2 + pick(40)) * 50;
                s.employee = issuers.at(pick(int(issuers.size())));
                s.deleted = chance(kPercentDeleted);
                s.updated = at(d, QTime(9, 0).addSecs(seq * 17 * 60));
                const QDate back = nextWorkday(d.addDays(4 + pick(15)));
                if (back <= m_today && !chance(kPercentUndelivered)) {
                    s.deliveredOn = back;
                    s.delivered =
                        chance(kPercentShort) ? s.issued - 1 - pick(s.issued / 20) : s.issued;
                    s.updated = at(back, QTime(14, pick(60)));
                }
                m_slips << s;
            }
        }
    }

    // One run that paid every live slip delivered up to the end of the
    // last closed month; later deliveries wait for the next run. The run's
    // period starts after the first few deliveries: left unpaid for months,
    // they make the menu warn of late payments.
    void settle() {
        QList<QDate> deliveries;
        for (const Slip& s : m_slips)
            if (!s.deleted && s.deliveredOn.isValid())
                deliveries << s.deliveredOn;
        std::sort(deliveries.begin(), deliveries.end());
        const QDate from = deliveries.value(kUnpaidDeliveries - 1, m_today).addDays(1);
        const QDate monthStart(m_today.year(), m_today.month(), 1);
        const QDate to = monthStart.addMonths(m_today.day() > 10 ? 0 : -1).addDays(-1);
        const QDateTime run(nextWorkday(to.addDays(3)), QTime(17, 30));

        QMap<QString, DemoPrices::Settlement> perWorker;
        for (Slip& s : m_slips) {
            if (s.deleted || !s.deliveredOn.isValid() || s.deliveredOn < from || s.deliveredOn > to)
                continue;
            s.settled = true;
            s.updated = run;
            s.employee = kSettlingEmployee;
            perWorker[s.combo.person].add(s.price, s.delivered, s.deliveredOn);
        }
        for (auto it = perWorker.cbegin(); it != perWorker.cend(); ++it) {
            const DemoPrices::Settlement& t = it.value();
            exec("INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日, 精算対象最終日, "
                 "精算対象伝票枚数, 精算金額, 消費税, 合計金額, 備考, 最終更新日時, 削除フラグ, "
                 "社員コード) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '', ?, 0, ?)",
                 {SqlValue::dateTime(run), it.key(), SqlValue::date(from), SqlValue::date(to),
                  t.slips, t.amount, t.tax, t.amount + t.tax, SqlValue::dateTime(run),
                  kSettlingEmployee});
        }
        m_settledAt = run;
        m_summary.settlementRows = int(perWorker.size());
    }

    void insertSlips() {
        const QVariant none(QMetaType::fromType<QString>());
        for (const Slip& s : m_slips) {
            const QString lot = QStringLiteral("L%1-%2")
                                    .arg(s.requested.toString(QStringLiteral("yyMMdd")))
                                    .arg(pick(100), 2, 10, QLatin1Char('0'));
            exec(
                "INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード, 内職者コード, 精算単価, "
                "作業区分, 払出数量, 納入数量, 依頼日, 納入日, 管理ロットNo, 備考, 精算日時, "
                "最終更新日時, 削除フラグ, 社員コード) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {s.number, s.combo.pno, s.combo.wno, s.combo.person, s.price.toDb(),
                 workKinds().at(pick(int(workKinds().size()))), s.issued, s.delivered,
                 SqlValue::date(s.requested), SqlValue::date(s.deliveredOn), lot,
                 slipRemarks().at(pick(int(slipRemarks().size()))),
                 s.settled ? SqlValue::dateTime(m_settledAt) : none, SqlValue::dateTime(s.updated),
                 s.deleted ? 1 : 0, s.employee});
        }
    }

    QSqlDatabase m_db;
    QDateTime m_now;
    QDate m_today;
    QRandomGenerator m_rng;
    QDateTime m_mastersUpdated;
    DemoPrices::Table m_prices;
    QList<Slip> m_slips;
    QDateTime m_settledAt;
    DemoData::Summary m_summary;
};

} // namespace

namespace DemoData {

Summary fill(const QSqlDatabase& db, const QDateTime& now, quint32 seed) {
    return Builder(db, now, seed).run();
}

} // namespace DemoData
