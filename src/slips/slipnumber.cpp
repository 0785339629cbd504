#include "slips/slipnumber.h"

#include "core/clock.h"
#include "core/decimal.h"
#include "core/keptstatement.h"
#include "core/numberformat.h"
#include "core/sqlquery.h"

QString NewSlipNo() {
    const QString prefix = Clock::today().toString(QStringLiteral("yyMMdd")) + QLatin1Char('-');
    // Every number that starts with the prefix: "." follows "-" in the
    // character order, so the range uses the key's index.
    QString after = prefix;
    after.back() = QLatin1Char('.');
    SqlQuery& q = keptStatement(QStringLiteral("SELECT 製品伝票番号 FROM seihin_t"
                                               " WHERE 製品伝票番号 >= ? AND 製品伝票番号 < ?"
                                               " ORDER BY 製品伝票番号 DESC LIMIT 1"));
    q.bind(prefix).bind(after).exec();
    qint64 sequence = 0;
    if (q.next()) {
        const auto read =
            Decimal::readVal(q.str(QStringLiteral("製品伝票番号")).mid(prefix.size(), 3))
                .toScaled(0);
        sequence = qMax<qint64>(0, read.value_or(0));
        q.next(); // to its end: the statement is kept
    }
    if (sequence >= SlipsPerDay)
        return QString();
    return prefix + formatNumber(sequence + 1, NumberPattern::Sequence);
}
