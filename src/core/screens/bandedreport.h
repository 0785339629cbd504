#pragma once

#include "core/screens/reportband.h"

#include <QList>
#include <QPageLayout>
#include <QSize>
#include <QString>
#include <vector>

// Where a band of a page sits: its index in the report (PageHeaderIndex for
// the page header) and its top, in twips from the top margin.
struct PlacedBand {
    static constexpr int PageHeaderIndex = -1;
    int index = PageHeaderIndex;
    int top = 0;
};

struct ReportPage {
    QList<PlacedBand> bands;
};

// A banded report: a page header printed at the top of every page, then the
// bands of the body in the order they were added (group headers, details,
// group footers), then the report footer. Laying out decides the pages
// before anything is painted, so "%p / %P" can name the page count. A band
// that does not fit the rest of a page starts the next one; a group header
// may ask for a new page of its own.
class BandedReport {
  public:
    enum class BandKind { PageHeader, GroupHeader, Detail, GroupFooter, ReportFooter };

    // A4 portrait with 10 mm margins unless told otherwise.
    BandedReport();
    explicit BandedReport(const QPageLayout& layout);

    // The report's name: the preview window's caption and the PDF title.
    void setTitle(const QString& title) { m_title = title; }
    const QString& title() const { return m_title; }

    void setPageLayout(const QPageLayout& layout);
    const QPageLayout& pageLayout() const { return m_layout; }
    // The page inside its margins, where bands go.
    QSize bodyTwips() const;

    void setPageHeader(const ReportBand& band);
    // A group header is printed only where its group starts; startsPage puts
    // it at the top of a page (unless the page has no body bands yet).
    void beginGroup(const ReportBand& header, bool startsPage = false);
    void addDetail(const ReportBand& band);
    void endGroup(const ReportBand& footer);
    void setReportFooter(const ReportBand& band);

    // Laid out on first use after a change; there is always at least one page.
    const QList<ReportPage>& pages() const;
    int pageCount() const { return static_cast<int>(pages().size()); }
    const ReportBand& band(int index) const;
    BandKind kind(int index) const;

  private:
    struct Entry {
        BandKind kind;
        ReportBand band;
        bool startsPage = false;
    };
    void add(BandKind kind, const ReportBand& band, bool startsPage = false);
    void layOut() const;

    QString m_title;
    QPageLayout m_layout;
    ReportBand m_pageHeader;
    bool m_hasPageHeader = false;
    std::vector<Entry> m_body;
    bool m_hasReportFooter = false;
    Entry m_reportFooter{BandKind::ReportFooter, ReportBand(), false};
    mutable QList<ReportPage> m_pages;
    mutable bool m_laidOut = false;
};
