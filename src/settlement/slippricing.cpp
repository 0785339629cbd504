#include "settlement/slippricing.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "prices/pricelookup.h"
#include "settlement/slipquery.h"

QList<SelectedSlip> readSelection(const BoundSql& query) {
    SqlQuery q(query.sql);
    execBound(q, query);
    QList<SelectedSlip> slips;
    while (q.next()) {
        SelectedSlip s;
        s.number = q.str(QStringLiteral("製品伝票番号"));
        s.workerCode = rtrim(q.str(QStringLiteral("内職者コード")));
        s.workerName = rtrim(q.str(QStringLiteral("内職者氏名")));
        s.drawingNumber = rtrim(q.str(QStringLiteral("製品図番")));
        s.workCode = rtrim(q.str(QStringLiteral("作業コード")));
        s.workItem = rtrim(q.str(QStringLiteral("作業項目")));
        s.requestDate = SqlValue::toDate(q.value(QStringLiteral("依頼日")));
        if (!q.isNull(QStringLiteral("精算単価")))
            s.storedPrice = UnitPrice::fromDb(q.num(QStringLiteral("精算単価")));
        s.quantity = q.integer(QStringLiteral("納入数量"));
        slips.append(std::move(s));
    }
    return slips;
}

UnitPrice priceInForce(const SelectedSlip& slip) {
    if (!slip.requestDate.isValid())
        throw AppError(QStringLiteral("製品伝票 %1 に依頼日がないため、単価を決められません。"
                                      "処理を中止しました。")
                           .arg(rtrim(slip.number)));
    try {
        const PriceLookupResult found =
            lookupPrice(slip.requestDate, slip.drawingNumber, slip.workCode, slip.workerCode);
        // The price as the lists show it, three decimals half away from
        // zero, is the price paid.
        if (!found.found)
            return UnitPrice();
        const qint64 thousandths = roundHalfAway(found.price.tenThousandths(), 10);
        qint64 shown = 0;
        if (__builtin_mul_overflow(thousandths, qint64(10), &shown))
            throw AppError(QStringLiteral("単価が大きすぎます。"));
        return UnitPrice::fromTenThousandths(shown);
    } catch (const AppError& e) {
        throw AppError(
            QStringLiteral("製品伝票 %1 の単価を取得できません。処理を中止しました。\n%2")
                .arg(rtrim(slip.number), e.text()));
    }
}

bool storedPriceDiffers(const SelectedSlip& slip, UnitPrice price) {
    return !slip.storedPrice || *slip.storedPrice != price;
}

qint64 checkedAdd(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        throw AppError(QStringLiteral("金額が大きすぎて計算できません。"));
    return sum;
}
