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
// A half-width character of the fixed-pitch font is half its size wide.
constexpr double kFieldTwips = 15 * kPoints * kTwipsPerPoint / 2;

QPageLayout trialPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                       QPageLayout::Millimeter);
}

int linesPerPage(const QPageLayout& layout) {
    const QRectF body = layout.paintRect(QPageLayout::Point);
    return int(body.height() * kTwipsPerPoint) / kTrialLineTwips;
}

void paintPage(QPainter& painter, const TrialPrintPage& page) {
    double y = 0;
    for (const TrialPrintLine& line : page) {
        for (const TrialPrintItem& item : line) {
            if (item.rightAligned)
                painter.drawText(QRectF(item.x, y, kFieldTwips, kTrialLineTwips),
                                 Qt::AlignRight | Qt::AlignVCenter, item.text.trimmed());
            else
                painter.drawText(QRectF(item.x, y, 20000, kTrialLineTwips),
                                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, item.text);
        }
        y += kTrialLineTwips;
    }
}

} // namespace

void printTrialList(QWidget* parent, const QList<QStringList>& gridTexts) {
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
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (p > 0)
                document.newPage();
            paintPage(painter, pages[p]);
        }
        document.finish();
    } catch (const AppError& e) {
        MessageBox::error(parent, e.text());
    }
    run.tellUser(parent);
}
