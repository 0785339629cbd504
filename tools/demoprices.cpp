#include "demoprices.h"

#include "demonames.h"

#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "settlement/consumptiontax.h"

#include <algorithm>

namespace DemoPrices {

namespace {

constexpr int kCombosPerWorker = 5;
constexpr int kPercentMistakes = 15; // combinations with a wrong line that was deleted
constexpr qint64 kFine = 50;         // 0.005 yen
constexpr qint64 kCoarse = 500;      // 0.05 yen

// Price ranges per work code, in the order of the work code master.
struct Range {
    qint64 low;
    qint64 high;
};
const Range kRanges[] = {{80000, 400000}, {15000, 60000}, {30000, 150000}, {5000, 30000},
                         {8000, 25000},   {20000, 80000}, {3000, 15000},   {10000, 50000}};

QString key(const Combo& c) {
    return c.pno + QLatin1Char('\t') + c.wno + QLatin1Char('\t') + c.person;
}

QDate monthEnd(const QDate& d) {
    return QDate(d.year(), d.month(), d.daysInMonth());
}

class Generator {
  public:
    Generator(QRandomGenerator& rng, const QDate& today) : m_rng(rng), m_today(today) {
        const QDate back = today.addMonths(-14);
        m_firstStart = QDate(back.year(), back.month(), 1);
    }

    Table table;

    void addCombinations(const QString& person, const QStringList& drawings, bool deleted) {
        const int codes = int(DemoNames::workCodes().size());
        QList<int> works;
        while (works.size() < 2 + pick(2)) {
            const int w = pick(codes);
            if (!works.contains(w))
                works << w;
        }
        QStringList taken;
        const int count = deleted ? 3 : kCombosPerWorker;
        while (taken.size() < count) {
            const int w = works.at(pick(int(works.size())));
            const Combo c{drawings.at(pick(int(drawings.size()))),
                          DemoNames::workCodes().at(w).code, person};
            if (taken.contains(key(c)))
                continue;
            taken << key(c);
            addPeriods(c, w, deleted);
            if (!deleted)
                table.combosByPerson[person] << c;
        }
    }

    void addRetiredDrawing(const QString& drawing, const QString& person) {
        const int w = pick(int(DemoNames::workCodes().size()));
        add(Combo{drawing, DemoNames::workCodes().at(w).code, person}, priceFor(w), m_firstStart,
            {}, true, QStringLiteral("生産終了"));
    }

    void numberLines() {
        std::stable_sort(table.lines.begin(), table.lines.end(),
                         [](const Line& a, const Line& b) { return a.start < b.start; });
        for (int i = 0; i < table.lines.size(); ++i)
            table.lines[i].serial = i + 1;
    }

  private:
    int pick(int n) { return int(m_rng.bounded(n)); }

    UnitPrice priceFor(int work) {
        const Range r = kRanges[work % std::size(kRanges)];
        const qint64 step = pick(4) == 0 ? kFine : kCoarse;
        return UnitPrice::fromTenThousandths(r.low + pick(int((r.high - r.low) / step) + 1) * step);
    }

    // A revised price, still on the grid of the finest step.
    static UnitPrice raised(UnitPrice price, int percent) {
        const qint64 p = price.tenThousandths();
        return UnitPrice::fromTenThousandths(
            std::max(p + kFine, roundHalfEven(__int128(p) * (100 + percent), 100 * kFine) * kFine));
    }

    void add(const Combo& c, UnitPrice price, const QDate& start, const QDate& end, bool deleted,
             const QString& remark = QStringLiteral("")) {
        table.lines << Line{0, c, price, start, end, deleted, remark};
    }

    // Successive, non-overlapping periods; the last is open-ended, ends at
    // the close of the fiscal year, or is a revision that starts next month.
    void addPeriods(const Combo& c, int work, bool deleted) {
        const UnitPrice price = priceFor(work);
        const int kind = pick(100);
        if (kind < 40) {
            add(c, price, m_firstStart, {}, deleted);
        } else if (kind < 90) {
            const QDate end = monthEnd(m_today.addMonths(-1 - pick(4)));
            add(c, price, m_firstStart, end, deleted);
            const QDate fiscalEnd(m_today.month() <= 3 ? m_today.year() : m_today.year() + 1, 3,
                                  31);
            add(c, raised(price, 3 + pick(6)), end.addDays(1), kind < 75 ? QDate() : fiscalEnd,
                deleted);
        } else {
            const QDate end = monthEnd(m_today);
            add(c, price, m_firstStart, end, deleted);
            add(c, raised(price, 5), end.addDays(1), {}, deleted);
        }
        if (!deleted && pick(100) < kPercentMistakes)
            add(c, priceFor(work), m_firstStart.addMonths(1 + pick(6)), {}, true,
                QStringLiteral("登録誤り"));
    }

    QRandomGenerator& m_rng;
    QDate m_today;
    QDate m_firstStart;
};

} // namespace

UnitPrice Table::priceOn(const Combo& combo, const QDate& day) const {
    const Line* best = nullptr;
    for (const Line& l : lines)
        if (!l.deleted && key(l.combo) == key(combo) && l.start <= day &&
            (!best || l.start > best->start))
            best = &l;
    return best ? best->price : UnitPrice();
}

Table build(QRandomGenerator& rng, const QDate& today, const QStringList& workers,
            const QStringList& drawings, const QString& deletedWorker,
            const QString& deletedDrawing) {
    Generator g(rng, today);
    for (const QString& w : workers)
        g.addCombinations(w, drawings, false);
    g.addCombinations(deletedWorker, drawings, true);
    g.addRetiredDrawing(deletedDrawing, workers.first());
    g.numberLines();
    return g.table;
}

void insert(const QSqlDatabase& db, const Table& table, const QDate& entered,
            const QString& employee, const QDateTime& now) {
    for (const Line& l : table.lines) {
        // Lines are keyed in about a week before they apply.
        const QDate keyed = std::max(entered, std::min(l.start.addDays(-7), now.date()));
        execSql(
            db,
            "INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード, 単価, 備考, "
            "適用開始日, 適用終了日, 最終更新日時, 削除フラグ, 社員コード) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {l.serial, l.combo.pno, l.combo.wno, l.combo.person, l.price.toDb(), l.remark,
             SqlValue::date(l.start), SqlValue::date(l.end),
             SqlValue::dateTime(std::min(QDateTime(keyed, QTime(11, 0)), now)), l.deleted ? 1 : 0,
             employee});
    }
}

void Settlement::add(UnitPrice price, int quantity, const QDate& delivered) {
    static const TaxRules legal = legalTaxRules();
    ++slips;
    amount += amountOf(price, quantity);
    tax += taxOf(price, quantity, legal.percentOn(delivered));
}

} // namespace DemoPrices
