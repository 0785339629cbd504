#include "prices/pricelist.h"

#include "core/bytetext.h"
#include "core/conventions.h"
#include "core/money.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "prices/pricelookup.h"

#include <optional>

namespace {

struct Combination {
    QString pno, wno, person;
    bool operator==(const Combination&) const = default;
};

} // namespace

const ListDefinition& priceListDefinition() {
    static constexpr ListColumn columns[] = {{u"", 0},
                                             {u"製品図番", 2200},
                                             {u"作業コード", 2200},
                                             {u"作業項目", 2200},
                                             {u"内職者コード", 1365},
                                             {u"内職者氏名", 2200},
                                             {u"単価", 1500, ColumnKind::Price},
                                             {u"適用開始日", 1500, ColumnKind::Date},
                                             {u"適用終了日", 1500, ColumnKind::Date},
                                             {u"備　考", 2535},
                                             {u"削除", 600, ColumnKind::Mark}};
    static const ListDefinition list{u"作業単価一覧", columns};
    return list;
}

QStringList PriceListRow::cells() const {
    return {QString::number(serial),
            pno,
            wno,
            workName,
            person,
            personName,
            price,
            start,
            end,
            remark,
            deleted ? QStringLiteral("削除") : QString()};
}

QList<PriceListRow> loadPriceRows(bool hideDeleted, bool hideExpired, const QDate& today) {
    QString sql = QStringLiteral(
        "SELECT tanka_m.単価シリアル, tanka_m.製品図番, tanka_m.作業コード, tanka_m.内職者コード,"
        " tanka_m.単価, tanka_m.備考, tanka_m.適用開始日, tanka_m.適用終了日, tanka_m.削除フラグ,"
        " sagyou_m.作業項目 AS 作業項目名, naishoku_m.内職者氏名 AS 内職者名"
        " FROM tanka_m"
        " LEFT JOIN naishoku_m ON tanka_m.内職者コード = naishoku_m.内職者コード"
        " LEFT JOIN sagyou_m ON tanka_m.作業コード = sagyou_m.作業コード");
    QStringList where;
    if (hideDeleted)
        where << QStringLiteral("tanka_m.削除フラグ <> 1");
    if (hideExpired)
        where << QStringLiteral("(tanka_m.適用終了日 IS NULL OR tanka_m.適用終了日 >= ?)");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY tanka_m.製品図番, tanka_m.作業コード, tanka_m.内職者コード,"
                          " tanka_m.適用開始日 DESC");
    SqlQuery q(sql);
    if (hideExpired)
        q.bind(SqlValue::date(today));
    q.exec();

    QList<PriceListRow> rows;
    std::optional<Combination> shown; // the combination of the last row kept
    while (q.next()) {
        PriceListRow r;
        r.pno = rtrim(q.str(QStringLiteral("製品図番")));
        r.wno = rtrim(q.str(QStringLiteral("作業コード")));
        r.person = rtrim(q.str(QStringLiteral("内職者コード")));
        const QDate start = SqlValue::toDate(q.value(QStringLiteral("適用開始日")));
        if (hideExpired) {
            const Combination c{r.pno, r.wno, r.person};
            if (shown && *shown == c && start.isValid() && start <= today)
                continue;
            shown = c;
        }
        r.serial = q.integer(QStringLiteral("単価シリアル"));
        r.workName = q.str(QStringLiteral("作業項目名"));
        r.personName = q.str(QStringLiteral("内職者名"));
        r.price = priceListText(UnitPrice::fromDb(q.num(QStringLiteral("単価"))));
        r.start = formatDate(start);
        r.end = formatDate(SqlValue::toDate(q.value(QStringLiteral("適用終了日"))));
        r.remark = q.str(QStringLiteral("備考"));
        r.deleted = q.integer(QStringLiteral("削除フラグ")) == 1;
        rows.append(std::move(r));
    }
    return rows;
}
