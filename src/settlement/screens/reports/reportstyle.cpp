#include "settlement/screens/reports/reportstyle.h"

#include "core/numberformat.h"
#include "core/screens/reportband.h"

#include <QMarginsF>
#include <QPageSize>

namespace ReportStyle {

QString yen(const Decimal& amount) {
    const QString digits = formatNumber(amount, NumberPattern::Whole);
    if (digits.startsWith(QLatin1Char('-')))
        return QLatin1Char('-') + YenSign + digits.mid(1);
    return YenSign + digits;
}

QString yen(Yen amount) {
    return yen(Decimal::fromInteger(amount));
}

QString yenPrice(UnitPrice price) {
    const QString digits = price.text(NumberPattern::PriceBox);
    if (digits.startsWith(QLatin1Char('-')))
        return QLatin1Char('-') + YenSign + digits.mid(1);
    return YenSign + digits;
}

QString count(qint64 value) {
    return formatNumber(value, NumberPattern::Whole);
}

QString japaneseDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy年MM月dd日")) : QString();
}

QFont gothic(double points, bool bold) {
    return reportFont(QStringLiteral("ＭＳ ゴシック"), points, bold);
}

QFont pGothic(double points, bool bold) {
    return reportFont(QStringLiteral("ＭＳ Ｐゴシック"), points, bold);
}

QFont mincho(double points, bool bold) {
    return reportFont(QStringLiteral("ＭＳ Ｐ明朝"), points, bold);
}

QPageLayout a4(QPageLayout::Orientation orientation) {
    const QMarginsF margins = orientation == QPageLayout::Portrait ? QMarginsF(15, 12, 12, 12)
                                                                   : QMarginsF(12, 12, 12, 12);
    return QPageLayout(QPageSize(QPageSize::A4), orientation, margins, QPageLayout::Millimeter);
}

} // namespace ReportStyle
