#include "core/screens/bandedreport.h"

#include <QMarginsF>
#include <QPageSize>

BandedReport::BandedReport()
    : BandedReport(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                               QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter)) {}

BandedReport::BandedReport(const QPageLayout& layout) : m_layout(layout) {}

void BandedReport::setPageLayout(const QPageLayout& layout) {
    m_layout = layout;
    m_laidOut = false;
}

QSize BandedReport::bodyTwips() const {
    const QRectF body = m_layout.paintRect(QPageLayout::Point);
    return QSize(pointsToTwips(body.width()), pointsToTwips(body.height()));
}

void BandedReport::setPageHeader(const ReportBand& band) {
    m_pageHeader = band;
    m_hasPageHeader = true;
    m_laidOut = false;
}

void BandedReport::beginGroup(const ReportBand& header, bool startsPage) {
    add(BandKind::GroupHeader, header, startsPage);
}

void BandedReport::addDetail(const ReportBand& band) {
    add(BandKind::Detail, band);
}

void BandedReport::endGroup(const ReportBand& footer) {
    add(BandKind::GroupFooter, footer);
}

void BandedReport::setReportFooter(const ReportBand& band) {
    m_reportFooter.band = band;
    m_hasReportFooter = true;
    m_laidOut = false;
}

void BandedReport::add(BandKind kind, const ReportBand& band, bool startsPage) {
    m_body.push_back(Entry{kind, band, startsPage});
    m_laidOut = false;
}

const ReportBand& BandedReport::band(int index) const {
    if (index == PlacedBand::PageHeaderIndex)
        return m_pageHeader;
    if (index == static_cast<int>(m_body.size()))
        return m_reportFooter.band;
    return m_body.at(static_cast<size_t>(index)).band;
}

BandedReport::BandKind BandedReport::kind(int index) const {
    if (index == PlacedBand::PageHeaderIndex)
        return BandKind::PageHeader;
    if (index == static_cast<int>(m_body.size()))
        return BandKind::ReportFooter;
    return m_body.at(static_cast<size_t>(index)).kind;
}

const QList<ReportPage>& BandedReport::pages() const {
    if (!m_laidOut)
        layOut();
    return m_pages;
}

void BandedReport::layOut() const {
    m_pages.clear();
    const int bodyHeight = bodyTwips().height();
    int y = 0;
    int bodyTop = 0;
    auto newPage = [&] {
        m_pages.append(ReportPage());
        y = 0;
        if (m_hasPageHeader) {
            m_pages.last().bands.append(PlacedBand{PlacedBand::PageHeaderIndex, 0});
            y = m_pageHeader.height();
        }
        bodyTop = y;
    };
    newPage();

    const int count = static_cast<int>(m_body.size()) + (m_hasReportFooter ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        const ReportBand& current = band(i);
        int needed = current.height();
        if (current.keepWithNext() && i + 1 < count)
            needed += band(i + 1).height();
        const bool startsPage = i < static_cast<int>(m_body.size()) && m_body[i].startsPage;
        // A page that holds no body band yet takes any band, even one too
        // tall for it, so that laying out always ends.
        if (y > bodyTop && (startsPage || y + needed > bodyHeight))
            newPage();
        m_pages.last().bands.append(PlacedBand{i, y});
        y += current.height();
    }
    m_laidOut = true;
}
