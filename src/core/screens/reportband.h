#pragma once

#include <QFont>
#include <QList>
#include <QRect>
#include <QString>
#include <Qt>

// Printed pages are laid out in twips, 1440 to the inch, as the forms are.
constexpr int TwipsPerInch = 1440;
constexpr int mmToTwips(double mm) {
    return static_cast<int>(mm * TwipsPerInch / 25.4 + 0.5);
}
constexpr int pointsToTwips(double points) {
    return static_cast<int>(points * 20 + 0.5);
}

// A font for printed pages: one of the Windows font names the application
// substitutes, its size in points and its weight. Only for report items:
// its size is held in twips.
QFont reportFont(const QString& family, double points, bool bold = false);

// One thing printed in a band, positioned in twips from the band's top-left
// corner (x from the left margin).
struct ReportItem {
    enum class Kind { Text, Rule, Box };
    Kind kind = Kind::Text;
    // Text: the box the text is aligned in (text that does not fit is cut
    // at it). Rule: from (left, top) to (right, bottom), a horizontal rule
    // has height 0. Box: the rectangle drawn.
    QRect rect;
    // "%p" prints as the page number and "%P" as the page count.
    QString text;
    QFont font;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool framed = false; // text drawn with a box around it
    int lineTwips = 10;  // pen width of rules, boxes and frames
    Qt::PenStyle lineStyle = Qt::SolidLine;
};

// A horizontal strip of a report page. A band is placed whole: it is never
// split across pages.
class ReportBand {
  public:
    explicit ReportBand(int heightTwips = 0) : m_height(heightTwips) {}

    ReportBand& text(const QRect& rect, const QString& text, const QFont& font,
                     Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    ReportBand& framedText(const QRect& rect, const QString& text, const QFont& font,
                           Qt::Alignment alignment = Qt::AlignCenter, int lineTwips = 10);
    ReportBand& rule(int left, int top, int right, int lineTwips = 10,
                     Qt::PenStyle style = Qt::SolidLine);
    ReportBand& verticalRule(int left, int top, int bottom, int lineTwips = 10);
    ReportBand& box(const QRect& rect, int lineTwips = 10);

    int height() const { return m_height; }
    void setHeight(int twips) { m_height = twips; }
    const QList<ReportItem>& items() const { return m_items; }

    // Moved to the next page together with the band that follows it, so a
    // group header never ends a page alone.
    bool keepWithNext() const { return m_keepWithNext; }
    void setKeepWithNext(bool keep) { m_keepWithNext = keep; }

  private:
    int m_height = 0;
    bool m_keepWithNext = false;
    QList<ReportItem> m_items;
};
