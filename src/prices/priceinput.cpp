#include "prices/priceinput.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/money.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

namespace {

const QString& kRequired = ConventionText::Required;
const QString kDateOrder = QStringLiteral("日付の大小関係に誤りがあります。");
const QString kOverlap = QStringLiteral("適用日付に重複があります。");
const QString& kBadDate = ConventionText::BadDate;

// The nearest live line of the combination starting on or after `start`
// (later) or on or before it; false when there is none.
bool nearestLine(const PriceInput& in, const QDate& start, bool later, QDate* lineStart,
                 QDate* lineEnd) {
    QString sql = QStringLiteral("SELECT 適用開始日, 適用終了日 FROM tanka_m"
                                 " WHERE 削除フラグ <> 1 AND 適用開始日 %1 ?"
                                 " AND 内職者コード = ? AND 作業コード = ? AND 製品図番 = ?")
                      .arg(later ? QStringLiteral(">=") : QStringLiteral("<="));
    if (in.mode == EditMode::Edit)
        sql += QStringLiteral(" AND 単価シリアル <> ?");
    sql += later ? QStringLiteral(" ORDER BY 適用開始日 LIMIT 1")
                 : QStringLiteral(" ORDER BY 適用開始日 DESC LIMIT 1");
    SqlQuery q(sql);
    q.bind(SqlValue::date(start)).bind(in.person).bind(in.wno).bind(in.pno);
    if (in.mode == EditMode::Edit)
        q.bind(in.serial);
    q.exec();
    if (!q.next())
        return false;
    *lineStart = SqlValue::toDate(q.value(QStringLiteral("適用開始日")));
    *lineEnd = SqlValue::toDate(q.value(QStringLiteral("適用終了日")));
    return true;
}

} // namespace

bool CheckPricePeriod(const PriceInput& in) {
    const QDate start = parseBoxDate(in.startText);
    const QDate end = parseBoxDate(in.endText);
    QDate lineStart, lineEnd;
    // A new line with an end must stop before the next line begins; one
    // without an end may run on, the later line simply takes over.
    if (end.isValid() && nearestLine(in, start, true, &lineStart, &lineEnd) && lineStart <= end)
        return true;
    if (nearestLine(in, start, false, &lineStart, &lineEnd)) {
        if (lineEnd.isValid())
            return lineEnd >= start;
        return lineStart == start;
    }
    return false;
}

PriceCheck CheckPriceInput(const PriceInput& in) {
    if (in.pno.trimmed().isEmpty())
        return {kRequired, PriceField::Pno};
    if (in.wno.trimmed().isEmpty())
        return {kRequired, PriceField::WNo};
    if (in.person.trimmed().isEmpty())
        return {kRequired, PriceField::Person};
    if (in.priceText.trimmed().isEmpty())
        return {kRequired, PriceField::Mon};
    try {
        UnitPrice::parse(in.priceText);
    } catch (const AppError& e) {
        return {e.text(), PriceField::Mon};
    }
    if (in.startText.trimmed().isEmpty())
        return {kRequired, PriceField::Start};
    const QDate start = parseBoxDate(in.startText);
    if (!start.isValid())
        return {kBadDate, PriceField::Start};
    if (!in.endText.trimmed().isEmpty()) {
        const QDate end = parseBoxDate(in.endText);
        if (!end.isValid())
            return {kBadDate, PriceField::End};
        if (end < start)
            return {kDateOrder, PriceField::Start};
    }
    // Marking an existing line deleted takes it out of every period.
    if (!(in.mode == EditMode::Edit && in.deleted) && CheckPricePeriod(in))
        return {kOverlap, PriceField::Start};
    return {};
}
