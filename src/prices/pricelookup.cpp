#include "prices/pricelookup.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

QString PriceLookupResult::text() const {
    return priceListText(price);
}

QString priceListText(const UnitPrice& price) {
    return price.text(NumberPattern::PriceList);
}

PriceLookupResult lookupPrice(QDate date, QString pno, QString wno, QString person) {
    if (!date.isValid())
        throw AppError(ConventionText::BadDate);
    SqlQuery q(QStringLiteral("SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND 適用開始日 <= ?"
                              " AND 内職者コード = ? AND 作業コード = ? AND 製品図番 = ?"
                              " ORDER BY 適用開始日 DESC LIMIT 1"));
    q.bind(SqlValue::date(date)).bind(person).bind(wno).bind(pno).exec();
    PriceLookupResult result;
    if (q.next()) {
        result.found = true;
        result.price = UnitPrice::fromDb(q.num(QStringLiteral("単価")));
    }
    return result;
}
