#pragma once

#include "core/money.h"

#include <QList>
#include <QString>

// Income lines the office watches for its home-workers (扶養, insurance):
// TVL.INI [Income] Lines=1300000:社会保険の扶養,1030000:所得税の扶養.
// They follow the rules of a year, so the office keeps them; none by default.
struct IncomeLine {
    Yen yen = 0;
    QString label;

    // A year's total reaches the line at exactly its yen.
    bool crossedBy(Yen total) const { return total >= yen; }
};

namespace IncomeLines {

// "yen:label" items, comma-separated; AppError naming the item otherwise.
QList<IncomeLine> parse(const QString& text);
// The lines of TVL.INI; AppError naming the key for a malformed value.
QList<IncomeLine> read();
// The labels of the lines that total reaches, as "label（1,300,000円）".
QStringList crossed(const QList<IncomeLine>& lines, Yen total);

} // namespace IncomeLines
