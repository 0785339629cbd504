#include "homework/incomelines.h"

#include "core/apperror.h"
#include "core/ini.h"
#include "core/numberformat.h"

namespace IncomeLines {

QList<IncomeLine> parse(const QString& text) {
    QList<IncomeLine> lines;
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString yenText = item.section(QLatin1Char(':'), 0, 0).trimmed();
        const QString label = item.section(QLatin1Char(':'), 1).trimmed();
        bool ok = false;
        const Yen yen = yenText.toLongLong(&ok);
        if (!ok || yen <= 0 || label.isEmpty())
            throw AppError(
                QStringLiteral("「%1」は 金額（円）:名前 の形ではありません。").arg(item));
        lines.append({yen, label});
    }
    return lines;
}

QList<IncomeLine> read() {
    try {
        return parse(IniRead(QStringLiteral("Income"), QStringLiteral("Lines")));
    } catch (const AppError& e) {
        throw AppError(QStringLiteral("TVL.INI の [Income] Lines が正しくありません: ") + e.text() +
                       QStringLiteral(" 例: Lines=1300000:社会保険の扶養"));
    }
}

QStringList crossed(const QList<IncomeLine>& lines, Yen total) {
    QStringList labels;
    for (const IncomeLine& line : lines)
        if (line.crossedBy(total))
            labels << QStringLiteral("%1（%2円）")
                          .arg(line.label, formatNumber(line.yen, NumberPattern::AmountList));
    return labels;
}

} // namespace IncomeLines
