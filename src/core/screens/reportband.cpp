#include "core/screens/reportband.h"

QFont reportFont(const QString& family, double points, bool bold) {
    QFont font(family);
    // Sized in twips: the report painter draws in twips and scales to the
    // device, so a point size would be scaled twice.
    font.setPixelSize(pointsToTwips(points));
    font.setBold(bold);
    // Unhinted glyphs keep the same widths at every resolution, so the
    // preview and the printout break and align text alike.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

ReportBand& ReportBand::text(const QRect& rect, const QString& text, const QFont& font,
                             Qt::Alignment alignment) {
    ReportItem item;
    item.rect = rect;
    item.text = text;
    item.font = font;
    item.alignment = alignment;
    m_items.append(item);
    return *this;
}

ReportBand& ReportBand::framedText(const QRect& rect, const QString& text, const QFont& font,
                                   Qt::Alignment alignment, int lineTwips) {
    this->text(rect, text, font, alignment);
    m_items.last().framed = true;
    m_items.last().lineTwips = lineTwips;
    return *this;
}

ReportBand& ReportBand::rule(int left, int top, int right, int lineTwips, Qt::PenStyle style) {
    ReportItem item;
    item.kind = ReportItem::Kind::Rule;
    item.rect = QRect(QPoint(left, top), QSize(right - left, 0));
    item.lineTwips = lineTwips;
    item.lineStyle = style;
    m_items.append(item);
    return *this;
}

ReportBand& ReportBand::verticalRule(int left, int top, int bottom, int lineTwips) {
    ReportItem item;
    item.kind = ReportItem::Kind::Rule;
    item.rect = QRect(QPoint(left, top), QSize(0, bottom - top));
    item.lineTwips = lineTwips;
    m_items.append(item);
    return *this;
}

ReportBand& ReportBand::box(const QRect& rect, int lineTwips) {
    ReportItem item;
    item.kind = ReportItem::Kind::Box;
    item.rect = rect;
    item.lineTwips = lineTwips;
    m_items.append(item);
    return *this;
}
