#include "settlement/consumptiontax.h"

#include "core/apperror.h"
#include "core/ini.h"
#include "settlement/slippricing.h"

#include <QRegularExpression>

namespace {

AppError malformed(const QString& key, const QString& value, const QString& expected) {
    return AppError(QStringLiteral("TVL.INI の [Tax] %1 の値が正しくありません: %2\n%3")
                        .arg(key, value, expected));
}

QList<TaxRate> parseRates(const QString& text) {
    static const QRegularExpression entry(
        QStringLiteral("^\\s*(\\d{4}-\\d{2}-\\d{2})\\s*:\\s*(\\d{1,2})\\s*$"));
    const QString expected =
        QStringLiteral("開始日:税率(%) をコンマで区切り、日付の順に書いて下さい"
                       "（例: 2019-10-01:10,2030-04-01:12）。");
    QList<TaxRate> rates;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QRegularExpressionMatch m = entry.match(part);
        const QDate from = m.hasMatch() ? QDate::fromString(m.captured(1), Qt::ISODate) : QDate();
        if (!from.isValid() || (!rates.isEmpty() && rates.last().from >= from))
            throw malformed(QStringLiteral("Rates"), text, expected);
        rates.append({from, m.captured(2).toInt()});
    }
    return rates;
}

} // namespace

int TaxRules::percentOn(const QDate& delivered) const {
    int percent = 0;
    for (const TaxRate& r : rates) {
        if (!delivered.isValid() || r.from > delivered)
            break;
        percent = r.percent;
    }
    return percent;
}

TaxRules legalTaxRules() {
    return {{{QDate(1989, 4, 1), 3},
             {QDate(1997, 4, 1), 5},
             {QDate(2014, 4, 1), 8},
             {QDate(2019, 10, 1), 10}},
            TaxRounding::PerSlip};
}

TaxRules readTaxRules() {
    TaxRules rules = legalTaxRules();
    const QString ratesText = IniRead(QStringLiteral("Tax"), QStringLiteral("Rates"));
    if (!ratesText.trimmed().isEmpty()) {
        const QList<TaxRate> own = parseRates(ratesText);
        // The legal rates before the first change named stay in force.
        QList<TaxRate> merged;
        for (const TaxRate& r : std::as_const(rules.rates))
            if (r.from < own.first().from)
                merged.append(r);
        rules.rates = merged + own;
    }
    const QString rounding = IniRead(QStringLiteral("Tax"), QStringLiteral("Rounding")).trimmed();
    if (rounding.compare(QLatin1String("statement"), Qt::CaseInsensitive) == 0)
        rules.rounding = TaxRounding::PerStatement;
    else if (!rounding.isEmpty() && rounding.compare(QLatin1String("slip"), Qt::CaseInsensitive))
        throw malformed(QStringLiteral("Rounding"), rounding,
                        QStringLiteral("slip（伝票ごと）か statement（内職者・税率ごと）を"
                                       "書いて下さい。"));
    return rules;
}

Yen WorkerTax::add(const QDate& delivered, UnitPrice price, qint64 quantity) {
    const int percent = m_rules->percentOn(delivered);
    if (m_rules->rounding == TaxRounding::PerStatement) {
        Yen& sum = m_amountByPercent[percent];
        sum = checkedAdd(sum, amountOf(price, quantity));
        return 0;
    }
    const Yen tax = taxOf(price, quantity, percent);
    m_perSlip = checkedAdd(m_perSlip, tax);
    return tax;
}

Yen WorkerTax::total() const {
    Yen tax = m_perSlip;
    for (auto it = m_amountByPercent.cbegin(); it != m_amountByPercent.cend(); ++it)
        tax = checkedAdd(tax, taxOfAmount(it.value(), it.key()));
    return tax;
}
