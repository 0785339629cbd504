#include "settlement/paidfigure.h"

#include "core/ini.h"

PaidFigure paidFigureOf(const QString& setting) {
    return setting.trimmed().compare(QLatin1String("amount"), Qt::CaseInsensitive) == 0
               ? PaidFigure::Amount
               : PaidFigure::Total;
}

PaidFigure configuredPaidFigure() {
    return paidFigureOf(IniRead(QStringLiteral("Print"), QStringLiteral("PayAmount")));
}
