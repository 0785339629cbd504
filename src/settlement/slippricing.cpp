#include "settlement/slippricing.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"
#include "prices/pricelookup.h"
#include "settlement/slipquery.h"

#include <cmath>

namespace {

// Only a whole number of 0 or more is a quantity that can be paid; text
// and fractions would be cut or read as 0.
void readQuantity(SelectedSlip& s, const QVariant& stored) {
    bool whole = false;
    if (stored.typeId() == QMetaType::LongLong) {
        s.quantity = stored.toLongLong();
        whole = true;
    } else if (stored.typeId() == QMetaType::Double) {
        const double d = stored.toDouble();
        whole = std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 1e15;
        s.quantity = whole ? qint64(d) : 0;
    }
    if (!whole || s.quantity < 0)
        s.unpayableQuantity = stored.isNull() ? QStringLiteral("Null") : stored.toString();
}

AppError unpayable(const SelectedSlip& slip, const QString& what, const QString& value) {
    return AppError(QStringLiteral("製品伝票 %1 の%2（%3）は精算できない値です。"
                                   "値を直してから処理して下さい。処理を中止しました。")
                        .arg(rtrim(slip.number), what, value));
}

} // namespace

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
        s.deliveryDate = SqlValue::toDate(q.value(QStringLiteral("納入日")));
        if (!q.isNull(QStringLiteral("精算単価")))
            s.storedPrice = UnitPrice::fromDb(q.num(QStringLiteral("精算単価")));
        readQuantity(s, q.value(QStringLiteral("納入数量")));
        if (!q.isNull(QStringLiteral("現単価")))
            s.linePrice = q.num(QStringLiteral("現単価"));
        slips.append(std::move(s));
    }
    return slips;
}

void checkPayable(const SelectedSlip& slip) {
    if (!slip.unpayableQuantity.isEmpty())
        throw unpayable(slip, QStringLiteral("納入数量"), slip.unpayableQuantity);
    if (slip.storedPrice && slip.storedPrice->tenThousandths() < 0)
        throw unpayable(slip, QStringLiteral("精算単価"),
                        slip.storedPrice->text(NumberPattern::PriceList));
}

QString numberedSlipList(const QStringList& slipNumbers) {
    QString list;
    for (qsizetype i = 0; i < slipNumbers.size(); ++i)
        list += formatNumber(i + 1, NumberPattern::Sequence) + QStringLiteral("　:") +
                slipNumbers.at(i) + QLatin1Char('\r');
    return list;
}

UnitPrice priceInForce(const SelectedSlip& slip, bool* found) {
    if (!slip.requestDate.isValid())
        throw AppError(QStringLiteral("製品伝票 %1 に依頼日がないため、単価を決められません。"
                                      "処理を中止しました。")
                           .arg(rtrim(slip.number)));
    PriceLookupResult lookedUp;
    UnitPrice shown;
    try {
        lookedUp.found = slip.linePrice.has_value();
        if (lookedUp.found)
            lookedUp.price = UnitPrice::fromDb(*slip.linePrice);
        // The price as the lists show it, three decimals half away from
        // zero, is the price paid.
        const qint64 thousandths = roundHalfAway(lookedUp.price.tenThousandths(), 10);
        qint64 scaled = 0;
        if (__builtin_mul_overflow(thousandths, qint64(10), &scaled))
            throw AppError(QStringLiteral("単価が大きすぎます。"));
        shown = UnitPrice::fromTenThousandths(scaled);
    } catch (const DbError&) {
        // The database's own failure (a lost server above all) is no fault
        // of this slip: its cause comes first.
        throw;
    } catch (const AppError& e) {
        throw AppError(
            QStringLiteral("製品伝票 %1 の単価を取得できません。処理を中止しました。\n%2")
                .arg(rtrim(slip.number), e.text()));
    }
    if (found)
        *found = lookedUp.found;
    if (shown.tenThousandths() < 0)
        throw unpayable(slip, QStringLiteral("作業単価マスタの単価"), lookedUp.text());
    return shown;
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
