#include "settlement/settlementwriter.h"

#include "core/apperror.h"
#include "core/bulkrows.h"
#include "core/sqlvalues.h"
#include "settlement/settlementrun.h"

namespace {

void requireRows(qint64 changed, qint64 named, const QString& what) {
    if (changed != named)
        throw DbError(QStringLiteral("%1を更新できませんでした（%2 件中 %3 件）。")
                          .arg(what)
                          .arg(named)
                          .arg(changed));
}

// The rows' columns, typed as the columns they meet.
const EngineSql kSlipRow = {"TEXT, REAL", "text, numeric"};
const EngineSql kRunRow = {"TEXT, TEXT", "timestamp, text"};
const EngineSql kSettlementRow = {
    "TEXT, TEXT, TEXT, TEXT, INTEGER, INTEGER, INTEGER, INTEGER, TEXT, TEXT",
    "timestamp, text, date, date, bigint, bigint, bigint, bigint, timestamp, text"};

// The values set outside the list take their column's type on a server.
const QString kStamp =
    QStringLiteral("UPDATE seihin_t SET 精算日時 = ?, 最終更新日時 = ?, 社員コード = ?,"
                   " 精算単価 = COALESCE(v.column2, seihin_t.精算単価)"
                   " FROM (%1) AS v WHERE seihin_t.製品伝票番号 = v.column1");
const QString kPrice =
    QStringLiteral("UPDATE seihin_t SET 精算単価 = v.column2, 最終更新日時 = ?, 社員コード = ?"
                   " FROM (%1) AS v WHERE seihin_t.製品伝票番号 = v.column1");
const QString kInsert =
    QStringLiteral("INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日, 精算対象最終日,"
                   " 精算対象伝票枚数, 精算金額, 消費税, 合計金額, 備考, 最終更新日時, 削除フラグ,"
                   " 社員コード) SELECT v.column1, v.column2, v.column3, v.column4, v.column5,"
                   " v.column6, v.column7, v.column8, '', v.column9, 0, v.column10 FROM (%1) AS v");
const QString kFlag =
    QStringLiteral("UPDATE seisan_t SET 削除フラグ = 1, 最終更新日時 = ?, 社員コード = ?"
                   " FROM (%1) AS v WHERE seisan_t.精算日時 = v.column1"
                   " AND seisan_t.内職者コード = v.column2"
                   " AND COALESCE(seisan_t.削除フラグ, 0) <> 1");
const QString kRelease =
    QStringLiteral("UPDATE seihin_t SET 精算日時 = NULL, 最終更新日時 = ?, 社員コード = ?"
                   " FROM (%1) AS v WHERE seihin_t.精算日時 = v.column1"
                   " AND seihin_t.内職者コード = v.column2");

QVariant priceValue(const std::optional<UnitPrice>& price) {
    return price ? QVariant(price->toDb()) : QVariant(QMetaType::fromType<double>());
}

std::function<void(qint64)> reporter(const SettlementProgress& progress, qint64 total) {
    if (!progress)
        return {};
    return [progress, total](qint64 done) { progress(done, total); };
}

QList<QVariantList> runRows(const QList<WorkerSettlement>& rows) {
    QList<QVariantList> values;
    values.reserve(rows.size());
    for (const WorkerSettlement& r : rows)
        values.append({SqlValue::dateTime(r.run), r.workerCode});
    return values;
}

} // namespace

SettlementWriter::SettlementWriter(const QString& employeeCode) : m_employee(employeeCode) {}

void SettlementWriter::stampSlips(const QDateTime& run, const QList<SlipWrite>& slips,
                                  const SettlementProgress& done) {
    QList<QVariantList> rows;
    rows.reserve(slips.size());
    for (const SlipWrite& s : slips)
        rows.append({s.number, priceValue(s.newPrice)});
    const QVariant when = SqlValue::dateTime(run);
    const QVariantList leading = {when, when, m_employee};
    const auto report = reporter(done, slips.size());
    BulkRows stamp({kStamp, kStamp}, kSlipRow);
    // The first slip goes alone, so that the bar moves as soon as the run
    // holds the database and writes.
    const qsizetype first = std::min<qsizetype>(1, rows.size());
    qint64 changed = stamp.run(leading, rows.mid(0, first), report);
    changed += stamp.run(leading, rows.mid(first), [&](qint64 sent) {
        if (report)
            report(first + sent);
    });
    requireRows(changed, slips.size(), QStringLiteral("製品伝票"));
}

void SettlementWriter::updateSlipPrices(const QList<SlipWrite>& slips, const QDateTime& now,
                                        const SettlementProgress& done) {
    QList<QVariantList> rows;
    for (const SlipWrite& s : slips)
        if (s.newPrice)
            rows.append({s.number, priceValue(s.newPrice)});
    BulkRows price({kPrice, kPrice}, kSlipRow);
    requireRows(price.run({SqlValue::dateTime(now), m_employee}, rows, reporter(done, rows.size())),
                rows.size(), QStringLiteral("製品伝票の単価"));
}

void SettlementWriter::insertSettlements(const QList<WorkerSettlement>& rows, const QDate& firstDay,
                                         const QDate& lastDay) {
    QList<QVariantList> values;
    values.reserve(rows.size());
    for (const WorkerSettlement& w : rows) {
        const QVariant when = SqlValue::dateTime(w.run);
        values.append({when, w.workerCode, SqlValue::date(firstDay), SqlValue::date(lastDay),
                       w.slipCount, w.amount, w.tax, w.total, when, m_employee});
    }
    BulkRows insert({kInsert, kInsert}, kSettlementRow);
    requireRows(insert.run({}, values), rows.size(), QStringLiteral("内職者別の精算"));
}

qint64 SettlementWriter::CancelSettlements(const QList<WorkerSettlement>& rows,
                                           const QDateTime& now) {
    const QList<QVariantList> keys = runRows(rows);
    const QVariantList leading = {SqlValue::dateTime(now), m_employee};
    BulkRows flag({kFlag, kFlag}, kRunRow);
    requireRows(flag.run(leading, keys), rows.size(), QStringLiteral("内職者別の精算"));
    BulkRows release({kRelease, kRelease}, kRunRow);
    return release.run(leading, keys);
}
