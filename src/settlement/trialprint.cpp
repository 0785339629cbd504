#include "settlement/trialprint.h"

#include "core/conventions.h"
#include "core/numberformat.h"

#include <QRegularExpression>

namespace {

constexpr int kCodeColumn = 1;
constexpr int kAmountColumn = 8;
constexpr int kFieldChars = 15;

bool printedRightAligned(int col) {
    return col >= 6 && col <= 8;
}

// A figure as the grid shows it: leading blanks and thousands separators
// allowed.
bool readWhole(const QString& text, qint64& value) {
    static const QRegularExpression figure(QStringLiteral("^ *-?[0-9][0-9,]*$"));
    if (!figure.match(text).hasMatch())
        return false;
    bool ok = false;
    value = QString(text).remove(QLatin1Char(',')).trimmed().toLongLong(&ok);
    return ok;
}

TrialPrintItem item(int col, const QString& text, bool heading = false) {
    const bool right = printedRightAligned(col);
    return {kTrialColumnX[col], right ? rightAligned15(text) : text, right, heading};
}

} // namespace

QString rightAligned15(const QString& text) {
    return text.size() >= kFieldChars ? text : text.rightJustified(kFieldChars, QLatin1Char(' '));
}

QList<TrialPrintLine> trialPrintLines(const QList<QStringList>& rows) {
    QList<TrialPrintLine> lines;
    const qsizetype count = rows.size();
    if (count <= 0)
        return lines;
    qint64 sum = 0;
    qint64 grandTotal = 0;
    QString previous;
    for (qsizetype r = 0; r <= count; ++r) {
        const bool dataRow = r > 0 && r < count;
        const QString code = dataRow ? rows[r].value(kCodeColumn) : QString();
        if (code != previous && !previous.isEmpty()) {
            lines.append(
                TrialPrintLine{item(7, QStringLiteral("計")),
                               item(kAmountColumn, formatNumber(sum, NumberPattern::Subtotal))});
            lines.append(TrialPrintLine());
            grandTotal += sum;
            sum = 0;
        }
        if (r >= count || (dataRow && code.isEmpty()))
            break;
        previous = code;
        TrialPrintLine line;
        const QStringList& cells = rows[r];
        for (int c = 1; c < cells.size() && c <= kAmountColumn; ++c) {
            line.append(item(c, cells[c], r == 0));
            qint64 value = 0;
            if (c == kAmountColumn && readWhole(cells[c], value))
                sum += value;
        }
        lines.append(line);
    }
    if (lines.size() > 1)
        lines.append(
            TrialPrintLine{item(7, QStringLiteral("総合計")),
                           item(kAmountColumn, formatNumber(grandTotal, NumberPattern::Subtotal))});
    return lines;
}

QList<TrialPrintPage> trialPrintPages(const QList<TrialPrintLine>& lines, int linesPerPage) {
    QList<TrialPrintPage> pages{TrialPrintPage()};
    const int perPage = qMax(1, linesPerPage);
    for (const TrialPrintLine& line : lines) {
        if (pages.last().size() >= perPage)
            pages.append(TrialPrintPage());
        pages.last().append(line);
    }
    return pages;
}

QString trialPeriodText(const TrialPrintHeading& heading) {
    return QStringLiteral("対象期間：%1～%2")
        .arg(formatDate(heading.firstDay), formatDate(heading.lastDay));
}

QString trialPrintedText(const TrialPrintHeading& heading) {
    return QStringLiteral("印刷日：") + formatDate(heading.printedOn);
}

QString trialPrintText(const QList<TrialPrintPage>& pages, const TrialPrintHeading& heading) {
    QString out;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        out += QStringLiteral("=== %1 / %2 ===\n").arg(p + 1).arg(pages.size());
        out +=
            QStringList{kTrialPrintTitle, trialPeriodText(heading), trialPrintedText(heading)}.join(
                QStringLiteral(" | ")) +
            QLatin1Char('\n');
        for (const TrialPrintLine& line : pages[p]) {
            QStringList items;
            for (const TrialPrintItem& i : line)
                items << QStringLiteral("%1[%2]").arg(i.x).arg(i.text);
            out += items.join(QStringLiteral(" | ")) + QLatin1Char('\n');
        }
    }
    return out;
}
