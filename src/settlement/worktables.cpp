#include "settlement/worktables.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/numberformat.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "core/sqlvalues.h"
#include "settlement/slippricing.h"
#include "settlement/slipquery.h"

#include <QMap>

namespace {

void report(const SettlementProgress& progress, qint64 done, qint64 total) {
    if (progress)
        progress(done, total);
}

QList<StatementLine> statementLinesOf(const QDateTime& run) {
    SqlQuery q(QStringLiteral(
        "SELECT seisan_t.内職者コード AS 内職者コード, naishoku_m.内職者氏名 AS 内職者氏名,"
        " seihin_t.依頼日 AS 依頼日, seihin_t.製品図番 AS 製品図番,"
        " seihin_t.作業コード AS 作業コード, sagyou_m.作業項目 AS 作業項目,"
        " seihin_t.精算単価 AS 精算単価, seihin_t.納入数量 AS 納入数量"
        " FROM ((seisan_t INNER JOIN seihin_t ON seisan_t.内職者コード = seihin_t.内職者コード"
        " AND seisan_t.精算日時 = seihin_t.精算日時)"
        " LEFT JOIN naishoku_m ON seihin_t.内職者コード = naishoku_m.内職者コード)"
        " LEFT JOIN sagyou_m ON seihin_t.作業コード = sagyou_m.作業コード"
        " WHERE COALESCE(seisan_t.削除フラグ, 0) <> 1 AND COALESCE(seihin_t.削除フラグ, 0) <> 1 "
        "AND seisan_t.精算日時 = ?"
        " ORDER BY seisan_t.内職者コード, seihin_t.依頼日, seihin_t.製品図番, "
        "seihin_t.作業コード"));
    q.bind(SqlValue::dateTime(run)).exec();
    QList<StatementLine> lines;
    while (q.next()) {
        StatementLine l;
        l.run = run;
        l.workerCode = rtrim(q.str(QStringLiteral("内職者コード")));
        l.workerName = rtrim(q.str(QStringLiteral("内職者氏名")));
        l.requestDate = SqlValue::toDate(q.value(QStringLiteral("依頼日")));
        l.drawingNumber = rtrim(q.str(QStringLiteral("製品図番")));
        l.workCode = rtrim(q.str(QStringLiteral("作業コード")));
        l.workItem = rtrim(q.str(QStringLiteral("作業項目")));
        l.price = UnitPrice::fromDb(q.num(QStringLiteral("精算単価")));
        l.quantity = q.integer(QStringLiteral("納入数量"));
        l.amount = amountOf(l.price, l.quantity);
        l.priceText = l.price.text(NumberPattern::PriceList);
        l.quantityText = formatNumber(l.quantity, NumberPattern::Count);
        l.amountText = formatNumber(l.amount, NumberPattern::QuantityList);
        lines << l;
    }
    return lines;
}

qint64 checkedProduct(UnitPrice price, qint64 quantity) {
    qint64 product = 0;
    if (__builtin_mul_overflow(price.tenThousandths(), quantity, &product))
        throw AppError(QStringLiteral("金額が大きすぎて計算できません。"));
    return product;
}

} // namespace

std::optional<QList<StatementLine>> FillStatementTable(const RunDesignation& designation,
                                                       const SettlementProgress& progress) {
    SqlTransaction tx;
    const std::optional<QDateTime> run = findSettlementRun(designation);
    if (!run)
        return std::nullopt;
    const QList<StatementLine> lines = statementLinesOf(*run);
    execSql(QStringLiteral("DELETE FROM wk_PersonA"));
    SqlQuery insert(QStringLiteral(
        "INSERT INTO wk_PersonA (精算日時, 内職者コード, 精算日, 内職者名, 依頼日, 製品図番,"
        " 作業コード, 作業項目, 単価, 払出数, 金額小計) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QVariant when = SqlValue::dateTime(*run);
    qint64 done = 0;
    for (const StatementLine& l : lines) {
        insert.bind(when)
            .bind(l.workerCode)
            .bind(when)
            .bind(l.workerName)
            .bind(SqlValue::date(l.requestDate))
            .bind(l.drawingNumber)
            .bind(l.workCode)
            .bind(l.workItem)
            .bind(l.priceText)
            .bind(l.quantityText)
            .bind(l.amountText)
            .exec();
        report(progress, ++done, lines.size());
    }
    tx.commit();
    return lines;
}

std::optional<QList<PnoLine>> FillPnoTable(const RunDesignation& designation,
                                           const SettlementProgress& progress) {
    SqlTransaction tx;
    const std::optional<QDateTime> run = findSettlementRun(designation);
    if (!run)
        return std::nullopt;
    QMap<QString, PnoLine> byClass;
    {
        const BoundSql bound = SlipQuerySql({}, SlipQueryMode::OfRun, *run);
        SqlQuery q(bound.sql);
        execBound(q, bound);
        while (q.next()) {
            const QString drawingClass = rtrim(q.str(QStringLiteral("製品図番"))).left(3);
            const UnitPrice price = UnitPrice::fromDb(q.num(QStringLiteral("精算単価")));
            const qint64 quantity = q.integer(QStringLiteral("納入数量"));
            PnoLine& line = byClass[drawingClass];
            line.settlementDate = run->date();
            line.drawingClass = drawingClass;
            line.amountTenThousandths =
                checkedAdd(line.amountTenThousandths, checkedProduct(price, quantity));
            line.quantity = checkedAdd(line.quantity, quantity);
        }
    }
    execSql(QStringLiteral("DELETE FROM wk_PnoAccount"));
    SqlQuery insert(QStringLiteral(
        "INSERT INTO wk_PnoAccount (精算日, 製品図番区分, 精算金額, 個数) VALUES (?, ?, ?, ?)"));
    const QList<PnoLine> lines = byClass.values();
    qint64 done = 0;
    for (const PnoLine& l : lines) {
        insert.bind(SqlValue::date(l.settlementDate))
            .bind(l.drawingClass)
            .bind(static_cast<double>(l.amountTenThousandths) / UnitPrice::Scale)
            .bind(l.quantity)
            .exec();
        report(progress, ++done, lines.size());
    }
    tx.commit();
    return lines;
}
