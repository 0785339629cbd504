#include "slips/sliplist.h"

#include "core/bytetext.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/money.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "prices/pricelookup.h"

#include <QHash>

namespace {

// The price of each row is looked up inside the statement: one index seek
// per slip instead of one statement per slip.
const QString kSelectOf = QStringLiteral(
    "SELECT s.製品伝票番号, s.製品図番, zuban_m.図番名称, s.作業コード,"
    " sagyou_m.作業項目 AS 作業項目名, s.作業区分, naishoku_m.内職者氏名 AS 内職者名,"
    " s.依頼日, s.払出数量, s.納入日, s.納入数量, s.管理ロットNo, s.備考, s.削除フラグ,"
    " %1 AS 現単価"
    " FROM seihin_t s"
    " LEFT JOIN naishoku_m ON s.内職者コード = naishoku_m.内職者コード"
    " LEFT JOIN sagyou_m ON s.作業コード = sagyou_m.作業コード"
    " LEFT JOIN zuban_m ON s.製品図番 = zuban_m.製品図番");
const EngineSql kUnsettledDeliveredUpTo = {
    QStringLiteral("s.納入日 IS NOT NULL AND substr(s.納入日, 1, 10) <= ? AND s.精算日時 IS NULL"),
    QStringLiteral("s.納入日 IS NOT NULL AND s.納入日 <= CAST(? AS date) AND s.精算日時 IS NULL")};

// Dates, quantities and prices repeat from row to row: each distinct value
// is formatted once, and a long list keeps one copy of its text.
template <typename Key> class TextCache {
  public:
    template <typename Format> QString operator()(const Key& key, Format format) {
        auto it = m_texts.constFind(key);
        if (it == m_texts.constEnd())
            it = m_texts.insert(key, format());
        return *it;
    }

  private:
    QHash<Key, QString> m_texts;
};

// "YYYY/MM/DD" of a stored date, "" when it is Null or not a date.
QString listDate(TextCache<QString>& cache, const QVariant& stored) {
    if (stored.isNull())
        return QString();
    return cache(stored.toString(), [&] { return formatDate(SqlValue::toDate(stored)); });
}

QString listQuantity(TextCache<qint64>& cache, const QVariant& stored) {
    const bool whole = stored.isNull() || stored.typeId() == QMetaType::LongLong ||
                       stored.typeId() == QMetaType::Int;
    if (!whole)
        return formatNumber(stored.toDouble(), NumberPattern::QuantityList);
    const qint64 value = stored.toLongLong();
    return cache(value, [&] { return formatNumber(value, NumberPattern::QuantityList); });
}

} // namespace

const ListDefinition& slipListDefinition() {
    static constexpr ListColumn columns[] = {{u"", 0},
                                             {u"伝票番号", 1200},
                                             {u"製品図番", 1500},
                                             {u"図番名称", 2340},
                                             {u"作業コード", 1095},
                                             {u"作業項目", 1200},
                                             {u"作業区分", 1200},
                                             {u"内職者氏名", 1815},
                                             {u"単価", 1395, ColumnKind::Price},
                                             {u"依頼日", 1395, ColumnKind::Date},
                                             {u"払出数量", 900, ColumnKind::Whole},
                                             {u"納入日", 1395, ColumnKind::Date},
                                             {u"納入数量", 900, ColumnKind::Whole},
                                             {u"管理ロットNO", 2190},
                                             {u"備考", 1725},
                                             {u"削除", 600, ColumnKind::Mark}};
    static_assert(std::size(columns) == SlipListCol::Count);
    static const ListDefinition list{u"伝票一覧", columns};
    return list;
}

QList<QStringList> loadSlipRows(const SlipSearch& search) {
    QStringList where;
    QVariantList values;
    if (search.hideDeleted)
        where << QStringLiteral("s.削除フラグ <> 1");
    if (search.hideDelivered)
        where << QStringLiteral("s.納入日 IS NULL");
    if (search.person) {
        where << QStringLiteral("s.内職者コード = ?");
        values << *search.person;
    }
    if (search.pno) {
        where << QStringLiteral("s.製品図番 = ?");
        values << *search.pno;
    }
    if (search.byNumber && !search.fromNo.isEmpty()) {
        where << QStringLiteral("s.製品伝票番号 >= ?");
        values << rtrim(search.fromNo);
    }
    if (search.byNumber && !search.toNo.isEmpty()) {
        where << QStringLiteral("s.製品伝票番号 <= ?");
        values << rtrim(search.toNo);
    }
    if (search.unsettledDeliveredUpTo.isValid()) {
        where << kUnsettledDeliveredUpTo.on(gCon());
        values << SqlValue::date(search.unsettledDeliveredUpTo);
    }
    QString sql = kSelectOf.arg(priceInForceColumn(QStringLiteral("s")));
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY s.製品伝票番号");

    SqlQuery q(sql);
    for (const QVariant& v : values)
        q.bind(v);
    q.exec();

    TextCache<QString> dates;
    TextCache<qint64> quantities, prices;
    const QString deletedMark = QStringLiteral("削除");
    QList<QStringList> rows;
    while (q.next()) {
        const QString slipNo = rtrim(q.str(QStringLiteral("製品伝票番号")));
        const QString requested = listDate(dates, q.value(QStringLiteral("依頼日")));
        QString price;
        if (!requested.isEmpty()) {
            const UnitPrice p = UnitPrice::fromDb(q.num(QStringLiteral("現単価")));
            price = prices(p.tenThousandths(), [&] { return priceListText(p); });
        }
        QStringList row;
        row.reserve(SlipListCol::Count);
        row << slipNo << slipNo << rtrim(q.str(QStringLiteral("製品図番")))
            << rtrim(q.str(QStringLiteral("図番名称")))
            << rtrim(q.str(QStringLiteral("作業コード")))
            << rtrim(q.str(QStringLiteral("作業項目名")))
            << rtrim(q.str(QStringLiteral("作業区分"))) << rtrim(q.str(QStringLiteral("内職者名")))
            << price << requested << listQuantity(quantities, q.value(QStringLiteral("払出数量")))
            << listDate(dates, q.value(QStringLiteral("納入日")))
            << listQuantity(quantities, q.value(QStringLiteral("納入数量")))
            << rtrim(q.str(QStringLiteral("管理ロットNo"))) << rtrim(q.str(QStringLiteral("備考")))
            << (q.integer(QStringLiteral("削除フラグ")) == 1 ? deletedMark : QString());
        rows.append(std::move(row));
    }
    return rows;
}

bool slipRangeInOrder(const QString& fromNo, const QString& toNo) {
    if (fromNo.isEmpty() || toNo.isEmpty())
        return true;
    return rtrim(fromNo) < rtrim(toNo);
}
