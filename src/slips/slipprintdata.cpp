#include "slips/slipprintdata.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/conventions.h"
#include "core/ini.h"
#include "core/numberformat.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

#include <cmath>
#include <limits>

namespace {

QDate requestDateOf(const QString& key) {
    if (!key.contains(QLatin1Char('/')))
        return {};
    return QDate::fromString(key.trimmed(), QStringLiteral("yyyy/M/d"));
}

QString dateText(const SqlQuery& q, const QString& column) {
    return formatDate(SqlValue::toDate(q.value(column)));
}

int marginOf(const QString& key) {
    const QString text = IniRead(QStringLiteral("Denpyo"), key).trimmed();
    bool numeric = false;
    const double value = text.toDouble(&numeric);
    if (!numeric || !std::isfinite(value))
        return 0;
    // Halves go to the even neighbour, as whole-number conversion does.
    const double twips = std::nearbyint(value);
    if (twips < std::numeric_limits<qint16>::min() || twips > std::numeric_limits<qint16>::max())
        throw AppError(QStringLiteral("[Denpyo] %1 の値が範囲外です: %2").arg(key, text));
    return int(twips);
}

} // namespace

QList<SlipPrintData> loadSlipsToPrint(const QString& key) {
    const QDate day = requestDateOf(key);
    // The employee is looked up by the code without blanks, and only when
    // there is one.
    SqlQuery q(
        QStringLiteral("SELECT seihin_t.製品伝票番号, seihin_t.製品図番, seihin_t.作業コード,"
                       " seihin_t.作業区分, seihin_t.払出数量, seihin_t.納入数量, seihin_t.依頼日,"
                       " seihin_t.納入日, seihin_t.管理ロットNo, seihin_t.備考, seihin_t.精算単価,"
                       " sagyou_m.作業項目 AS 作業項目名, naishoku_m.内職者氏名 AS 内職者名,"
                       " zuban_m.図番名称, syain_m.氏名 AS 取扱者名"
                       " FROM seihin_t"
                       " LEFT JOIN naishoku_m ON seihin_t.内職者コード = naishoku_m.内職者コード"
                       " LEFT JOIN sagyou_m ON seihin_t.作業コード = sagyou_m.作業コード"
                       " LEFT JOIN zuban_m ON seihin_t.製品図番 = zuban_m.製品図番"
                       " LEFT JOIN syain_m ON TRIM(seihin_t.社員コード, ' ') <> ''"
                       " AND syain_m.社員コード = TRIM(seihin_t.社員コード, ' ')") +
        (day.isValid() ? QStringLiteral(" WHERE seihin_t.依頼日 = ?")
                       : QStringLiteral(" WHERE seihin_t.製品伝票番号 = ?")) +
        QStringLiteral(" ORDER BY seihin_t.製品伝票番号"));
    q.bind(day.isValid() ? SqlValue::date(day) : QVariant(key)).exec();

    QList<SlipPrintData> slips;
    while (q.next()) {
        const auto text = [&q](const char* column) {
            return rtrim(q.str(QString::fromUtf8(column)));
        };
        SlipPrintData s;
        s.slipNo = text("製品伝票番号");
        s.requestDate = dateText(q, QStringLiteral("依頼日"));
        s.personName = text("内職者名");
        s.drawing = text("製品図番") + QLatin1Char(' ') + text("図番名称");
        s.work = text("作業コード") + QLatin1Char(' ') + text("作業項目名");
        s.workKind = text("作業区分");
        s.issuedQuantity =
            formatNumber(q.num(QStringLiteral("払出数量")), NumberPattern::QuantityList);
        s.lotNo = text("管理ロットNo");
        s.remark = text("備考");
        s.deliveredQuantity =
            formatNumber(q.num(QStringLiteral("納入数量")), NumberPattern::QuantityList);
        if (s.deliveredQuantity == QLatin1String("0"))
            s.deliveredQuantity.clear();
        s.deliveryDate = dateText(q, QStringLiteral("納入日"));
        s.employeeName = trimBlanks(q.str(QStringLiteral("取扱者名")));
        s.price = UnitPrice::fromDb(q.num(QStringLiteral("精算単価")));
        s.requestedOn = SqlValue::toDate(q.value(QStringLiteral("依頼日")));
        s.deliveredOn = SqlValue::toDate(q.value(QStringLiteral("納入日")));
        slips.append(s);
    }
    return slips;
}

SlipMargins readSlipMargins() {
    return {marginOf(QStringLiteral("MarginTop")), marginOf(QStringLiteral("MarginLeft1")),
            marginOf(QStringLiteral("MarginLeft2"))};
}
