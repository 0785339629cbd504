#include "settlement/settlementwriter.h"

#include "core/apperror.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

namespace {

void requireOneRow(const SqlQuery& q, const QString& what) {
    if (q.rowsAffected() != 1)
        throw DbError(
            QStringLiteral("%1を更新できませんでした（%2 件）。").arg(what).arg(q.rowsAffected()));
}

} // namespace

SettlementWriter::SettlementWriter(const QString& employeeCode) : m_employee(employeeCode) {}

SettlementWriter::~SettlementWriter() = default;

SqlQuery& SettlementWriter::statement(std::unique_ptr<SqlQuery>& slot, const char* sql) {
    if (!slot)
        slot = std::make_unique<SqlQuery>(QString::fromUtf8(sql));
    return *slot;
}

const QVariant& SettlementWriter::stored(const QDateTime& time) {
    if (time != m_lastTime || m_lastText.isNull()) {
        m_lastTime = time;
        m_lastText = SqlValue::dateTime(time);
    }
    return m_lastText;
}

void SettlementWriter::StampSlip(const QDateTime& time, const QString& slipNumber, Stamp mode) {
    const QVariant when = stored(time);
    if (mode == Stamp::Set) {
        SqlQuery& q = statement(m_stamp, "UPDATE seihin_t SET 精算日時 = ?, 最終更新日時 = ?,"
                                         " 社員コード = ? WHERE 製品伝票番号 = ?");
        q.bind(when).bind(when).bind(m_employee).bind(slipNumber).exec();
        requireOneRow(q, QStringLiteral("製品伝票 %1 ").arg(slipNumber));
    } else {
        SqlQuery& q = statement(m_unstamp, "UPDATE seihin_t SET 精算日時 = NULL,"
                                           " 最終更新日時 = ?, 社員コード = ?"
                                           " WHERE 製品伝票番号 = ?");
        q.bind(when).bind(m_employee).bind(slipNumber).exec();
        requireOneRow(q, QStringLiteral("製品伝票 %1 ").arg(slipNumber));
    }
}

void SettlementWriter::UpdateSlipPrice(const QString& slipNumber, UnitPrice price,
                                       const QDateTime& now) {
    SqlQuery& q = statement(m_price, "UPDATE seihin_t SET 精算単価 = ?, 最終更新日時 = ?,"
                                     " 社員コード = ? WHERE 製品伝票番号 = ?");
    q.bind(price.toDb()).bind(stored(now)).bind(m_employee).bind(slipNumber).exec();
    requireOneRow(q, QStringLiteral("製品伝票 %1 の単価").arg(slipNumber));
}

void SettlementWriter::InsertSettlement(const QDateTime& run, const QString& workerCode,
                                        const QDate& firstDay, const QDate& lastDay,
                                        qint64 slipCount, Yen amount, Yen tax, Yen total) {
    SqlQuery& q = statement(
        m_insert, "INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日, 精算対象最終日,"
                  " 精算対象伝票枚数, 精算金額, 消費税, 合計金額, 備考, 最終更新日時, 削除フラグ,"
                  " 社員コード) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '', ?, 0, ?)");
    const QVariant when = stored(run);
    q.bind(when)
        .bind(workerCode)
        .bind(SqlValue::date(firstDay))
        .bind(SqlValue::date(lastDay))
        .bind(slipCount)
        .bind(amount)
        .bind(tax)
        .bind(total)
        .bind(when)
        .bind(m_employee)
        .exec();
    requireOneRow(q, QStringLiteral("内職者 %1 の精算").arg(workerCode));
}

void SettlementWriter::FlagSettlementDeleted(const QDateTime& run, const QDateTime& now,
                                             const QString& workerCode) {
    SqlQuery& q = statement(m_flag, "UPDATE seisan_t SET 削除フラグ = 1, 最終更新日時 = ?,"
                                    " 社員コード = ? WHERE 精算日時 = ? AND 内職者コード = ?"
                                    " AND COALESCE(削除フラグ, 0) <> 1");
    q.bind(SqlValue::dateTime(now))
        .bind(m_employee)
        .bind(SqlValue::dateTime(run))
        .bind(workerCode)
        .exec();
    requireOneRow(q, QStringLiteral("内職者 %1 の精算").arg(workerCode));
}

qint64 SettlementWriter::ReleaseSettledSlips(const QDateTime& run, const QDateTime& now,
                                             const QString& workerCode) {
    SqlQuery& q = statement(m_release, "UPDATE seihin_t SET 精算日時 = NULL, 最終更新日時 = ?,"
                                       " 社員コード = ? WHERE 精算日時 = ? AND 内職者コード = ?");
    q.bind(SqlValue::dateTime(now))
        .bind(m_employee)
        .bind(SqlValue::dateTime(run))
        .bind(workerCode)
        .exec();
    return q.rowsAffected();
}
