#include "settlement/settlementlist.h"

#include "core/bytetext.h"
#include "core/conventions.h"
#include "core/numberformat.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "settlement/slipquery.h"

namespace {

const QString kRowsWithNames =
    QStringLiteral("SELECT seisan_t.*, naishoku_m.内職者氏名 AS 内職者名 FROM seisan_t"
                   " LEFT JOIN naishoku_m ON seisan_t.内職者コード = naishoku_m.内職者コード");

// " AND …" narrowing seisan_t.精算日時 to what the designation names.
void appendRunWindow(BoundSql& q, const RunDesignation& d) {
    if (d.stamp.isValid()) {
        q.sql += QStringLiteral(" AND seisan_t.精算日時 = ?");
        q.values << SqlValue::dateTime(d.stamp);
    } else {
        q.sql += QStringLiteral(" AND seisan_t.精算日時 >= ? AND seisan_t.精算日時 <= ?");
        q.values << SqlValue::dateTime(QDateTime(d.day, QTime(0, 0)))
                 << SqlValue::dateTime(QDateTime(d.day, QTime(23, 59, 59)));
    }
}

QList<SettlementRow> readRows(const BoundSql& bound) {
    SqlQuery q(bound.sql);
    execBound(q, bound);
    QList<SettlementRow> rows;
    while (q.next()) {
        SettlementRow r;
        r.run = SqlValue::toDateTime(q.value(QStringLiteral("精算日時")));
        r.runText = r.run.isValid() ? formatDateTime(r.run) : q.str(QStringLiteral("精算日時"));
        r.workerCode = rtrim(q.str(QStringLiteral("内職者コード")));
        r.workerName = rtrim(q.str(QStringLiteral("内職者名")));
        r.firstDay = SqlValue::toDate(q.value(QStringLiteral("精算対象開始日")));
        r.lastDay = SqlValue::toDate(q.value(QStringLiteral("精算対象最終日")));
        r.slipCount = q.integer(QStringLiteral("精算対象伝票枚数"));
        r.amount = q.integer(QStringLiteral("精算金額"));
        r.tax = q.integer(QStringLiteral("消費税"));
        r.total = q.integer(QStringLiteral("合計金額"));
        r.deleted = q.integer(QStringLiteral("削除フラグ")) == 1;
        rows << r;
    }
    return rows;
}

} // namespace

RunDesignation designateRun(const QString& text) {
    const QString t = trimBlanks(text);
    RunDesignation d;
    if (t.size() > 10) {
        d.stamp = parseBoxDateTime(t);
    } else if (t.size() == 8 && DateCheck(t) == 0) {
        d.day = QDate::fromString(t, QStringLiteral("yyyyMMdd"));
    } else {
        d.day = parseBoxDate(t);
    }
    return d;
}

std::optional<QDateTime> findSettlementRun(const RunDesignation& designation) {
    if (!designation.isUsable())
        return std::nullopt;
    BoundSql q{QStringLiteral("SELECT seisan_t.精算日時 FROM seisan_t"
                              " WHERE COALESCE(seisan_t.削除フラグ, 0) <> 1"),
               {}};
    appendRunWindow(q, designation);
    q.sql += QStringLiteral(" ORDER BY seisan_t.精算日時 DESC LIMIT 1");
    SqlQuery query(q.sql);
    execBound(query, q);
    if (!query.next())
        return std::nullopt;
    const QDateTime run = SqlValue::toDateTime(query.value(QStringLiteral("精算日時")));
    return run.isValid() ? std::optional<QDateTime>(run) : std::nullopt;
}

QList<SettlementRow> LoadSettlementList(const RunDesignation& designation, bool includeCancelled) {
    if (!designation.isUsable())
        return {};
    BoundSql q{kRowsWithNames + QStringLiteral(" WHERE 1 = 1"), {}};
    appendRunWindow(q, designation);
    if (!includeCancelled)
        q.sql += QStringLiteral(" AND COALESCE(seisan_t.削除フラグ, 0) <> 1");
    q.sql += QStringLiteral(" ORDER BY seisan_t.精算日時 DESC, seisan_t.内職者コード");
    return readRows(q);
}

QList<SettlementRow> settlementRowsOfRun(const QDateTime& run, bool includeCancelled) {
    BoundSql q{kRowsWithNames + QStringLiteral(" WHERE seisan_t.精算日時 = ?"),
               {SqlValue::dateTime(run)}};
    if (!includeCancelled)
        q.sql += QStringLiteral(" AND COALESCE(seisan_t.削除フラグ, 0) <> 1");
    q.sql += QStringLiteral(" ORDER BY seisan_t.内職者コード");
    return readRows(q);
}

QStringList settlementListCells(const SettlementRow& r) {
    return {r.runText,
            r.workerCode,
            QString(),
            r.workerName,
            formatNumber(r.slipCount, NumberPattern::Count),
            formatNumber(r.amount, NumberPattern::QuantityList),
            formatNumber(r.tax, NumberPattern::AmountList),
            formatNumber(r.total, NumberPattern::AmountList),
            QString(),
            r.deleted ? QStringLiteral("削除") : QString()};
}

const ListDefinition& settlementListDefinition() {
    static constexpr ListColumn columns[] = {{u"", 0},
                                             {u"", 0},
                                             {u"", 0},
                                             {u"内職者氏名", 2200},
                                             {u"対象伝票枚数", 1650, ColumnKind::Whole},
                                             {u"精算金額", 1650, ColumnKind::Whole},
                                             {u"消費税", 1400, ColumnKind::Whole},
                                             {u"合計金額", 1650, ColumnKind::Whole},
                                             {u"", 0},
                                             {u"削除", 600, ColumnKind::Mark}};
    static const ListDefinition list{u"精算一覧", columns};
    return list;
}
