#include "settlement/screens/trialprinting.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/screens/messagebox.h"
#include "core/screens/printoutput.h"
#include "settlement/trialprint.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>

namespace {

const QString kFont = QStringLiteral("ＭＳ ゴシック");
constexpr double kPoints = 9;
// 内職者コード at 9 points nearly touches the next heading.
constexpr double kHeadingPoints = 8;
// A half-width character of the fixed-pitch font is half its size wide.
constexpr double kFieldTwips = 15 * kPoints * kTwipsPerPoint / 2;

QPageLayout trialPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

QRectF bodyTwips(const QPageLayout& layout) {
    const QRectF body = layout.paintRect(QPageLayout::Point);
    return QRectF(0, 0, body.width() * kTwipsPerPoint, body.height() * kTwipsPerPoint);
}

int linesPerPage(const QPageLayout& layout) {
    return int(bodyTwips(layout).height()) / kTrialLineTwips - kTrialHeadingLines;
}

void paintHeading(QPainter& painter, const QRectF& body, const TrialPrintHeading& heading,
                  qsizetype page, qsizetype pages) {
    const QFont lines = painter.font();
    painter.setFont(printFont(kFont, 14));
    painter.drawText(QRectF(0, 0, body.width(), 2 * kTrialLineTwips), Qt::AlignCenter,
                     kTrialPrintTitle);
    painter.setFont(lines);
    const QRectF second(0, 2 * kTrialLineTwips, body.width(), kTrialLineTwips);
    painter.drawText(second, Qt::AlignLeft | Qt::AlignVCenter, trialPeriodText(heading));
    painter.drawText(
        second, Qt::AlignRight | Qt::AlignVCenter,
        QStringLiteral("%1　　%2 / %3").arg(trialPrintedText(heading)).arg(page + 1).arg(pages));
}

void paintPage(QPainter& painter, const QRectF& body, const TrialPrintPage& page) {
    const QFont lines = painter.font();
    double y = kTrialHeadingLines * kTrialLineTwips;
    for (const TrialPrintLine& line : page) {
        for (const TrialPrintItem& item : line) {
            painter.setFont(item.heading ? printFont(kFont, kHeadingPoints) : lines);
            if (item.rightAligned)
                painter.drawText(QRectF(item.x, y, kFieldTwips, kTrialLineTwips),
                                 Qt::AlignRight | Qt::AlignVCenter, item.text.trimmed());
            else
                painter.drawText(QRectF(item.x, y, 20000, kTrialLineTwips),
                                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, item.text);
        }
        if (!line.isEmpty() && line.first().heading)
            painter.drawLine(QPointF(0, y + kTrialLineTwips),
                             QPointF(body.width(), y + kTrialLineTwips));
        y += kTrialLineTwips;
    }
    painter.setFont(lines);
}

} // namespace

void printTrialList(QWidget* parent, const QList<QStringList>& gridTexts,
                    const TrialPrintHeading& heading) {
    if (MessageBox::show(parent, QStringLiteral("印刷しますか"), MessageBox::Buttons::YesNo) !=
        MessageBox::Answer::Yes)
        return;
    if (gridTexts.isEmpty())
        return;
    const QPageLayout layout = trialPageLayout();
    const QList<TrialPrintPage> pages =
        trialPrintPages(trialPrintLines(gridTexts), linesPerPage(layout));
    PrintRun run;
    try {
        const QString name =
            QStringLiteral("trial-") + Clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        PrintDocument document(run, name, layout);
        QPainter& painter = document.painter();
        scaleToTwips(painter);
        painter.setFont(printFont(kFont, kPoints));
        const QRectF body = bodyTwips(layout);
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (p > 0)
                document.newPage();
            paintHeading(painter, body, heading, p, pages.size());
            paintPage(painter, body, pages[p]);
        }
        document.finish();
    } catch (const AppError& e) {
        MessageBox::error(parent, e.text());
    }
    run.tellUser(parent);
}
