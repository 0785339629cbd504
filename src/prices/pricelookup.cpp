#include "prices/pricelookup.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/keptstatement.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

namespace {

// Slip entry and the price form look one price up per call.
SqlQuery& lookupStatement() {
    return keptStatement(
        QStringLiteral("SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND 適用開始日 <= ?"
                       " AND 内職者コード = ? AND 作業コード = ? AND 製品図番 = ?"
                       " ORDER BY 適用開始日 DESC, 単価シリアル DESC LIMIT 1"));
}

// A request date stored with a time (older files) still compares as its
// day; a server's DATE column holds only the day.
const EngineSql kRequestDay = {QStringLiteral("substr(%1.依頼日, 1, 10)"),
                               QStringLiteral("%1.依頼日")};

} // namespace

QString priceInForceColumn(const QString& slip) {
    // COALESCE keeps a line without a price apart from no line at all.
    return QStringLiteral(
               "(SELECT COALESCE(tanka_m.単価, 0) FROM tanka_m WHERE tanka_m.削除フラグ <> 1"
               " AND tanka_m.適用開始日 <= %1"
               " AND tanka_m.内職者コード = rtrim(%2.内職者コード, ' ')"
               " AND tanka_m.作業コード = rtrim(%2.作業コード, ' ')"
               " AND tanka_m.製品図番 = rtrim(%2.製品図番, ' ')"
               " ORDER BY tanka_m.適用開始日 DESC, tanka_m.単価シリアル DESC LIMIT 1)")
        .arg(kRequestDay.on(gCon()).arg(slip), slip);
}

QString PriceLookupResult::text() const {
    return priceListText(price);
}

QString priceListText(const UnitPrice& price) {
    return price.text(NumberPattern::PriceList);
}

PriceLookupResult lookupPrice(QDate date, QString pno, QString wno, QString person) {
    if (!date.isValid())
        throw AppError(ConventionText::BadDate);
    SqlQuery& q = lookupStatement();
    q.bind(SqlValue::date(date)).bind(person).bind(wno).bind(pno).exec();
    PriceLookupResult result;
    if (q.next()) {
        result.found = true;
        result.price = UnitPrice::fromDb(q.num(QStringLiteral("単価")));
        // Run the statement to its end so that it holds no read lock
        // while it waits for the next call.
        q.next();
    }
    return result;
}
