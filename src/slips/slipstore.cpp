#include "slips/slipstore.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/keptstatement.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "core/sqlvalues.h"
#include "masters/lookup.h"
#include "prices/pricelookup.h"
#include "slips/slipentry.h"
#include "slips/slipnumber.h"
#include "slips/sliptexts.h"

namespace {

// The input turned into the values stored, checked before any write.
struct StoredValues {
    QDate requested;
    QVariant delivered, settled; // dates as stored, Null when empty
    qint64 issuedQuantity = 0, deliveredQuantity = 0;
    QString workKind, lot, remark;
};

QDate boxDate(const QString& text) {
    if (trimBlanks(text).isEmpty())
        return {};
    const QDate d = parseBoxDate(text);
    if (!d.isValid())
        throw AppError(ConventionText::BadDate);
    return d;
}

QString cut(const QString& text, int bytes) {
    return rtrim(FixByteWidth(rtrim(text), bytes));
}

StoredValues storedValues(const SlipInput& in) {
    if (CheckRequired(in) != SlipField::None)
        throw AppError(ConventionText::Required);
    StoredValues v;
    v.requested = boxDate(in.requestDate);
    v.delivered = SqlValue::date(boxDate(in.deliveryDate));
    const QDate settledOn = boxDate(in.settlementDate);
    v.settled =
        SqlValue::dateTime(settledOn.isValid() ? QDateTime(settledOn, QTime(0, 0)) : QDateTime());
    v.issuedQuantity = parseQuantity(in.issued);
    v.deliveredQuantity = parseQuantity(in.delivered);
    v.workKind = cut(in.workKind, 20);
    v.lot = cut(in.lot, 20);
    v.remark = cut(in.remark, 50);
    return v;
}

double priceInForce(const SlipInput& in, const QDate& requested) {
    return lookupPrice(requested, in.pno, in.wno, in.person).price.toDb();
}

// 精算日時 of the slip as stored now ("" when Null); nothing when the slip
// is gone.
std::optional<QString> storedSettlement(const QString& slipNo) {
    SqlQuery q(QStringLiteral("SELECT 精算日時 FROM seihin_t WHERE 製品伝票番号 = ?"));
    q.bind(slipNo).exec();
    if (!q.next())
        return std::nullopt;
    return q.str(QStringLiteral("精算日時"));
}

// A settlement that was cancelled released its slips; a stamp typed by
// hand, or left from such a run by older data, names no live settlement.
const QString kPaidCondition =
    QStringLiteral("EXISTS (SELECT 1 FROM seisan_t WHERE seisan_t.精算日時 = seihin_t.精算日時"
                   " AND seisan_t.内職者コード = seihin_t.内職者コード"
                   " AND COALESCE(seisan_t.削除フラグ, 0) <> 1)");

bool storedAsPaid(const QString& slipNo) {
    SqlQuery q(QStringLiteral("SELECT %1 AS paid FROM seihin_t WHERE 製品伝票番号 = ?")
                   .arg(kPaidCondition));
    q.bind(slipNo).exec();
    return q.next() && q.integer(QStringLiteral("paid")) != 0;
}

QString quantityText(const SqlQuery& q, const QString& column) {
    return formatNumber(q.num(column), NumberPattern::QuantityList);
}

} // namespace

SlipInput SlipRecord::input() const {
    SlipInput in;
    in.pno = pno;
    in.wno = wno;
    in.person = person;
    in.workKind = workKind;
    in.requestDate = requestDate;
    in.issued = issued;
    in.delivered = delivered;
    in.deliveryDate = deliveryDate;
    in.lot = lot;
    in.remark = remark;
    in.settlementDate = settlementDate;
    in.deleted = deleted;
    return in;
}

std::optional<SlipRecord> LoadSlipRecord(const QString& slipNo) {
    SqlQuery q(
        QStringLiteral(
            "SELECT seihin_t.*, sagyou_m.作業項目 AS 作業項目名, naishoku_m.内職者氏名 AS 内職者名,"
            " zuban_m.図番名称 AS 図番名, %1 AS 精算済み"
            " FROM seihin_t"
            " LEFT JOIN naishoku_m ON seihin_t.内職者コード = naishoku_m.内職者コード"
            " LEFT JOIN sagyou_m ON seihin_t.作業コード = sagyou_m.作業コード"
            " LEFT JOIN zuban_m ON seihin_t.製品図番 = zuban_m.製品図番"
            " WHERE seihin_t.製品伝票番号 = ?")
            .arg(kPaidCondition));
    q.bind(slipNo).exec();
    if (!q.next())
        return std::nullopt;
    SlipRecord r;
    r.slipNo = rtrim(q.str(QStringLiteral("製品伝票番号")));
    r.pno = rtrim(q.str(QStringLiteral("製品図番")));
    r.wno = rtrim(q.str(QStringLiteral("作業コード")));
    r.person = rtrim(q.str(QStringLiteral("内職者コード")));
    r.pnoItem =
        Lookup::itemText(Lookup::drawingNumbers(), r.pno, rtrim(q.str(QStringLiteral("図番名"))));
    r.wnoItem =
        Lookup::itemText(Lookup::workCodes(), r.wno, rtrim(q.str(QStringLiteral("作業項目名"))));
    r.personItem =
        Lookup::itemText(Lookup::homeWorkers(), r.person, rtrim(q.str(QStringLiteral("内職者名"))));
    r.workKind = rtrim(q.str(QStringLiteral("作業区分")));
    r.lot = rtrim(q.str(QStringLiteral("管理ロットNo")));
    r.remark = rtrim(q.str(QStringLiteral("備考")));
    r.issued = quantityText(q, QStringLiteral("払出数量"));
    r.delivered = quantityText(q, QStringLiteral("納入数量"));
    r.storedPrice = UnitPrice::fromDb(q.num(QStringLiteral("精算単価")));
    r.requestDate = formatDate(SqlValue::toDate(q.value(QStringLiteral("依頼日"))));
    r.deliveryDate = formatDate(SqlValue::toDate(q.value(QStringLiteral("納入日"))));
    r.settledAtStored = q.str(QStringLiteral("精算日時"));
    r.settledAt = SqlValue::toDateTime(q.value(QStringLiteral("精算日時")));
    r.settlementDate = formatDate(SqlValue::toDate(q.value(QStringLiteral("精算日時"))));
    r.deleted = q.integer(QStringLiteral("削除フラグ")) != 0;
    r.paid = q.integer(QStringLiteral("精算済み")) != 0;
    return r;
}

SlipRecord newSlipRecord() {
    SlipRecord r;
    r.slipNo = NewSlipNo();
    r.issued = r.delivered = QStringLiteral("0");
    r.requestDate = formatDate(Clock::today());
    return r;
}

QString InsertSlip(const SlipInput& in) {
    const StoredValues v = storedValues(in);
    SqlTransaction tx;
    const QString slipNo = NewSlipNo();
    if (slipNo.isEmpty())
        throw SlipNumbersUsedUp();
    // Kept: slips are issued one after another at the desk.
    keptStatement(QStringLiteral("INSERT INTO seihin_t (製品伝票番号, 製品図番, 作業コード,"
                                 " 内職者コード, 精算単価, 作業区分, 払出数量, 納入数量, 依頼日,"
                                 " 納入日, 管理ロットNo, 備考, 精算日時, 最終更新日時, 削除フラグ,"
                                 " 社員コード) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,"
                                 " ?, ?)"))
        .bind(slipNo)
        .bind(in.pno)
        .bind(in.wno)
        .bind(in.person)
        .bind(priceInForce(in, v.requested))
        .bind(v.workKind)
        .bind(v.issuedQuantity)
        .bind(v.deliveredQuantity)
        .bind(SqlValue::date(v.requested))
        .bind(v.delivered)
        .bind(v.lot)
        .bind(v.remark)
        .bind(v.settled)
        .bind(SqlValue::dateTime(Clock::now()))
        .bind(in.deleted ? 1 : 0)
        .bind(gEmpCode)
        .exec();
    tx.commit();
    return slipNo;
}

void UpdateSlip(const SlipInput& in, const SlipRecord& loaded) {
    const StoredValues v = storedValues(in);
    SqlTransaction tx;
    // The settlement run and its cancellation write 精算日時; a save over
    // their change would undo it or pay the slip twice.
    const std::optional<QString> settledAt = storedSettlement(loaded.slipNo);
    if (!settledAt)
        throw AppError(SlipText::UpdateFailed);
    if (*settledAt != loaded.settledAtStored)
        throw AppError(SlipText::SettledElsewhere);
    if (paidFieldsChanged(in, loaded, storedAsPaid(loaded.slipNo)))
        throw PaidSlipLocked();

    QString sql =
        QStringLiteral("UPDATE seihin_t SET 製品図番 = ?, 作業コード = ?, 内職者コード = ?,"
                       " 作業区分 = ?, 払出数量 = ?, 納入数量 = ?, 依頼日 = ?, 納入日 = ?,"
                       " 管理ロットNo = ?, 備考 = ?, 最終更新日時 = ?, 削除フラグ = ?,"
                       " 社員コード = ?");
    QVariantList values{in.pno,
                        in.wno,
                        in.person,
                        v.workKind,
                        v.issuedQuantity,
                        v.deliveredQuantity,
                        SqlValue::date(v.requested),
                        v.delivered,
                        v.lot,
                        v.remark,
                        SqlValue::dateTime(Clock::now()),
                        in.deleted ? 1 : 0,
                        gEmpCode};
    if (!keepsStoredPrice(in, &loaded)) {
        sql += QStringLiteral(", 精算単価 = ?");
        values << priceInForce(in, v.requested);
    }
    // The box shows only the day of the run's time stamp: writing it back
    // unchanged would detach the slip from its settlement.
    if (settlementDateChanged(loaded.status(), in.settlementDate)) {
        sql += QStringLiteral(", 精算日時 = ?");
        values << v.settled;
    }
    sql += QStringLiteral(" WHERE 製品伝票番号 = ?");
    values << loaded.slipNo;
    if (execSql(sql, values) != 1)
        throw AppError(SlipText::UpdateFailed);
    tx.commit();
}

bool SlipExists(const QString& typedNo) {
    SqlQuery q(QStringLiteral("SELECT 製品伝票番号 FROM seihin_t WHERE 製品伝票番号 = ?"));
    q.bind(rtrim(typedNo)).exec();
    return q.next();
}
