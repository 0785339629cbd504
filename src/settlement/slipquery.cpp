#include "settlement/slipquery.h"

#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "prices/pricelookup.h"

namespace {

// Only the columns a run uses: a selection of many thousand slips pays for
// every column it reads. Each slip's price in force comes with it, so that
// pricing a run costs no statement per slip.
const QString kSlipsWithNames = QStringLiteral(
    "SELECT seihin_t.製品伝票番号, seihin_t.内職者コード, seihin_t.製品図番, seihin_t.作業コード,"
    " seihin_t.精算単価, seihin_t.納入数量, seihin_t.依頼日, seihin_t.納入日,"
    " sagyou_m.作業項目 AS 作業項目, naishoku_m.内職者氏名 AS 内職者氏名, %1 AS 現単価"
    " FROM (seihin_t LEFT JOIN naishoku_m ON seihin_t.内職者コード = naishoku_m.内職者コード)"
    " LEFT JOIN sagyou_m ON seihin_t.作業コード = sagyou_m.作業コード"
    " WHERE (COALESCE(seihin_t.削除フラグ, 0) <> 1) AND (seihin_t.納入日 IS NOT NULL)"
    " AND (seihin_t.精算日時 IS NULL)");

// The slip number last, so that equal slips always come in the same order.
const QString kSettlementOrder =
    QStringLiteral(" ORDER BY seihin_t.内職者コード, seihin_t.製品図番,"
                   " seihin_t.作業コード, seihin_t.製品伝票番号");
const QString kTrialOrder =
    QStringLiteral(" ORDER BY seihin_t.内職者コード, seihin_t.依頼日, seihin_t.製品図番,"
                   " seihin_t.作業コード, seihin_t.製品伝票番号");

void appendPeriod(BoundSql& query, const SettlementCriteria& criteria) {
    query.sql += QStringLiteral(" AND seihin_t.納入日 >= ? AND seihin_t.納入日 <= ?");
    query.values << SqlValue::date(criteria.firstDay) << SqlValue::date(criteria.lastDay);
}

} // namespace

void appendWorkerRange(BoundSql& query, const SettlementCriteria& criteria, const QString& column) {
    const QString first = workerBound(criteria.firstWorker);
    const QString last = workerBound(criteria.lastWorker);
    if (!first.isEmpty()) {
        query.sql += QStringLiteral(" AND (%1 >= ?)").arg(column);
        query.values << first;
    }
    if (!last.isEmpty()) {
        query.sql += QStringLiteral(" AND (%1 <= ?)").arg(column);
        query.values << last;
    }
}

BoundSql SlipQuerySql(const SettlementCriteria& criteria, SlipQueryMode mode,
                      const QDateTime& run) {
    const QString person = QStringLiteral("seihin_t.内職者コード");
    BoundSql q;
    switch (mode) {
    case SlipQueryMode::ToSettle:
    case SlipQueryMode::ToTry:
        q.sql = kSlipsWithNames.arg(priceInForceColumn(QStringLiteral("seihin_t")));
        appendPeriod(q, criteria);
        appendWorkerRange(q, criteria, person);
        q.sql += mode == SlipQueryMode::ToSettle ? kSettlementOrder : kTrialOrder;
        break;
    case SlipQueryMode::InPeriod:
        q.sql = QStringLiteral("SELECT seihin_t.製品伝票番号, seihin_t.精算日時 FROM seihin_t"
                               " WHERE (COALESCE(seihin_t.削除フラグ, 0) <> 1)"
                               " AND (seihin_t.納入日 IS NOT NULL)");
        appendPeriod(q, criteria);
        appendWorkerRange(q, criteria, person);
        q.sql += kSettlementOrder;
        break;
    case SlipQueryMode::OfRun:
        q.sql = QStringLiteral(
            "SELECT * FROM seihin_t WHERE (COALESCE(削除フラグ, 0) <> 1) AND (精算日時 = ?)");
        q.values << SqlValue::dateTime(run);
        break;
    }
    return q;
}

BoundSql cancellationQuerySql(const SettlementCriteria& criteria) {
    BoundSql q;
    q.sql = QStringLiteral("SELECT * FROM seisan_t WHERE (COALESCE(削除フラグ, 0) <> 1)"
                           " AND 精算対象開始日 >= ? AND 精算対象最終日 <= ?");
    q.values << SqlValue::date(criteria.firstDay) << SqlValue::date(criteria.lastDay);
    appendWorkerRange(q, criteria, QStringLiteral("内職者コード"));
    q.sql += QStringLiteral(" ORDER BY 精算日時, 内職者コード");
    return q;
}

void execBound(SqlQuery& query, const BoundSql& bound) {
    for (const QVariant& v : bound.values)
        query.bind(v);
    query.exec();
}
