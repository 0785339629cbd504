#include "prices/pricestore.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/money.h"
#include "core/session.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "core/sqlvalues.h"
#include "prices/pricelookup.h"

namespace {

const QString kEditFailed = QStringLiteral("作業単価の編集に失敗しました。");

double storedPrice(const PriceInput& in) {
    return UnitPrice::parse(in.priceText).toDb();
}

QString storedRemark(const QString& remark) {
    return rtrim(FixByteWidth(remark, 50));
}

} // namespace

std::optional<PriceRecord> LoadPriceRecord(qint64 serial) {
    SqlQuery q(QStringLiteral(
        "SELECT tanka_m.*, naishoku_m.内職者氏名 AS 内職者名, sagyou_m.作業項目 AS 作業項目名,"
        " zuban_m.図番名称 AS 図番名"
        " FROM tanka_m"
        " LEFT JOIN naishoku_m ON tanka_m.内職者コード = naishoku_m.内職者コード"
        " LEFT JOIN sagyou_m ON tanka_m.作業コード = sagyou_m.作業コード"
        " LEFT JOIN zuban_m ON tanka_m.製品図番 = zuban_m.製品図番"
        " WHERE tanka_m.単価シリアル = ?"));
    q.bind(serial).exec();
    if (!q.next())
        return std::nullopt;
    PriceRecord r;
    r.serial = serial;
    r.pno = rtrim(q.str(QStringLiteral("製品図番")));
    r.pnoName = rtrim(q.str(QStringLiteral("図番名")));
    r.wno = rtrim(q.str(QStringLiteral("作業コード")));
    r.workName = rtrim(q.str(QStringLiteral("作業項目名")));
    r.person = rtrim(q.str(QStringLiteral("内職者コード")));
    r.personName = rtrim(q.str(QStringLiteral("内職者名")));
    r.priceText = priceListText(UnitPrice::fromDb(q.num(QStringLiteral("単価"))));
    r.remark = rtrim(q.str(QStringLiteral("備考")));
    r.start = SqlValue::toDate(q.value(QStringLiteral("適用開始日")));
    r.end = SqlValue::toDate(q.value(QStringLiteral("適用終了日")));
    r.deleted = q.integer(QStringLiteral("削除フラグ")) == 1;
    return r;
}

qint64 nextPriceSerial() {
    SqlQuery q(QStringLiteral("SELECT MAX(単価シリアル) AS MAX_KEY FROM tanka_m"));
    q.exec();
    return (q.next() ? q.integer(QStringLiteral("MAX_KEY")) : 0) + 1;
}

qint64 SavePriceNew(const PriceInput& in) {
    const double price = storedPrice(in);
    SqlTransaction tx;
    const qint64 serial = nextPriceSerial();
    execSql(
        QStringLiteral("INSERT INTO tanka_m (単価シリアル, 製品図番, 作業コード, 内職者コード,"
                       " 単価, 備考, 適用開始日, 適用終了日, 最終更新日時, 削除フラグ, 社員コード)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {serial, in.pno, in.wno, in.person, price, storedRemark(in.remark),
         SqlValue::date(parseBoxDate(in.startText)), SqlValue::date(parseBoxDate(in.endText)),
         SqlValue::dateTime(Clock::now()), in.deleted ? 1 : 0, gEmpCode});
    tx.commit();
    return serial;
}

void SavePriceEdit(const PriceInput& in) {
    const double price = storedPrice(in);
    const int changed = execSql(
        QStringLiteral("UPDATE tanka_m SET 製品図番 = ?, 作業コード = ?, 内職者コード = ?,"
                       " 単価 = ?, 備考 = ?, 適用開始日 = ?, 適用終了日 = ?, 最終更新日時 = ?,"
                       " 削除フラグ = ?, 社員コード = ? WHERE 単価シリアル = ?"),
        {in.pno, in.wno, in.person, price, storedRemark(in.remark),
         SqlValue::date(parseBoxDate(in.startText)), SqlValue::date(parseBoxDate(in.endText)),
         SqlValue::dateTime(Clock::now()), in.deleted ? 1 : 0, gEmpCode, in.serial});
    if (changed != 1)
        throw AppError(kEditFailed);
}
