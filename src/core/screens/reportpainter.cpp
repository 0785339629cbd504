#include "core/screens/reportpainter.h"

#include "core/screens/bandedreport.h"
#include "core/screens/printoutput.h"

#include <QPainter>
#include <algorithm>
#include <map>

namespace {

QString resolvedText(const QString& text, int page, int pageCount) {
    if (!text.contains(QLatin1Char('%')))
        return text;
    QString out = text;
    out.replace(QStringLiteral("%p"), QString::number(page));
    out.replace(QStringLiteral("%P"), QString::number(pageCount));
    return out;
}

// Draws the page in twips: the caller has scaled the painter so that one
// unit is one twip and put the origin at the top-left margin corner.
void paintInTwips(QPainter& painter, const BandedReport& report, int pageIndex) {
    const int pageCount = report.pageCount();
    const ReportPage& page = report.pages().at(pageIndex);
    painter.setBrush(Qt::NoBrush);
    const QPen textPen(Qt::black);
    QPen linePen(Qt::black);
    linePen.setCapStyle(Qt::FlatCap);
    QFont font; // the last one set: resolving a font costs more than comparing
    bool fontSet = false;
    for (const PlacedBand& placed : page.bands) {
        for (const ReportItem& item : report.band(placed.index).items()) {
            const QRect r = item.rect.translated(0, placed.top);
            if (item.kind == ReportItem::Kind::Text) {
                if (!fontSet || !(font == item.font)) {
                    font = item.font;
                    fontSet = true;
                    painter.setFont(font);
                }
                painter.setPen(textPen);
                painter.drawText(r, static_cast<int>(item.alignment),
                                 resolvedText(item.text, pageIndex + 1, pageCount));
                if (!item.framed)
                    continue;
            }
            linePen.setWidth(item.lineTwips);
            linePen.setStyle(item.lineStyle);
            painter.setPen(linePen);
            if (item.kind == ReportItem::Kind::Rule)
                painter.drawLine(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
            else
                painter.drawRect(r);
        }
    }
}

} // namespace

void paintReportPage(QPainter& painter, const BandedReport& report, int pageIndex) {
    const double scale = painter.device()->logicalDpiX() / double(TwipsPerInch);
    painter.save();
    painter.scale(scale, painter.device()->logicalDpiY() / double(TwipsPerInch));
    paintInTwips(painter, report, pageIndex);
    painter.restore();
}

void printReport(PrintRun& run, const BandedReport& report, const QString& name) {
    // Laid out before the device opens, so that a printer job never waits on it.
    const int pageCount = report.pageCount();
    PrintDocument document(run, name, report.pageLayout());
    for (int i = 0; i < pageCount; ++i) {
        if (i > 0)
            document.newPage();
        // The document's painter starts at the margin corner in device units.
        paintReportPage(document.painter(), report, i);
    }
    document.finish();
}

QImage renderReportPage(const BandedReport& report, int pageIndex, double dpi) {
    const QPageLayout& layout = report.pageLayout();
    const QRectF full = layout.fullRect(QPageLayout::Inch);
    const QMarginsF margins = layout.margins(QPageLayout::Inch);
    QImage image(qRound(full.width() * dpi), qRound(full.height() * dpi), QImage::Format_RGB32);
    const int dotsPerMetre = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(margins.left() * dpi, margins.top() * dpi);
    painter.scale(dpi / TwipsPerInch, dpi / TwipsPerInch);
    paintInTwips(painter, report, pageIndex);
    return image;
}

QString reportText(const BandedReport& report) {
    QString out;
    const int pageCount = report.pageCount();
    for (int p = 0; p < pageCount; ++p) {
        out += QStringLiteral("=== %1 / %2 ===\n").arg(p + 1).arg(pageCount);
        // Middle height, then left edge: the reading order of the page.
        std::map<int, std::map<int, QStringList>> rows;
        for (const PlacedBand& placed : report.pages().at(p).bands) {
            for (const ReportItem& item : report.band(placed.index).items()) {
                if (item.kind != ReportItem::Kind::Text)
                    continue;
                const QString text = resolvedText(item.text, p + 1, pageCount);
                if (text.trimmed().isEmpty())
                    continue;
                const int middle = placed.top + item.rect.y() + item.rect.height() / 2;
                rows[middle][item.rect.x()].append(text);
            }
        }
        for (const auto& [middle, row] : rows) {
            QStringList texts;
            for (const auto& [left, atLeft] : row)
                texts += atLeft;
            out += texts.join(QStringLiteral(" | ")) + QLatin1Char('\n');
        }
    }
    return out;
}
