#include "prices/pricelookup.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/database.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

#include <QPointer>
#include <QSqlDriver>
#include <memory>

namespace {

// Settlement and the slip lists look prices up row after row; preparing the
// statement anew each time would cost more than running it. The statement
// is kept for as long as the connection it was prepared on lives.
SqlQuery& lookupStatement() {
    static std::unique_ptr<SqlQuery> statement;
    static QPointer<QSqlDriver> preparedOn;
    QSqlDriver* driver = gCon().driver();
    if (!statement || !preparedOn || preparedOn != driver) {
        statement.reset();
        statement = std::make_unique<SqlQuery>(
            QStringLiteral("SELECT 単価 FROM tanka_m WHERE 削除フラグ <> 1 AND 適用開始日 <= ?"
                           " AND 内職者コード = ? AND 作業コード = ? AND 製品図番 = ?"
                           " ORDER BY 適用開始日 DESC, 単価シリアル DESC LIMIT 1"));
        preparedOn = driver;
    }
    return *statement;
}

} // namespace

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
