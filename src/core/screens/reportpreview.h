#pragma once

#include "core/screens/screen.h"

#include <functional>

class BandedReport;
class QKeyEvent;
class QLabel;
class QPushButton;
class QScrollArea;

// The preview window of a printed report, shown modally with exec(). It
// opens over its owner screen: 600 twips below the owner's top and 45 to the
// right of its left edge, 15000 twips wide and 10000 high, captioned with
// the report's title. Keys: PageDown/PageUp next and previous page,
// Home/End first and last page, +/- zoom, Escape closes.
class ReportPreview : public Screen {
    Q_OBJECT
  public:
    using PrintHandler = std::function<void(const BandedReport&)>;

    // The report must outlive the window. Without a print handler the print
    // button is disabled.
    ReportPreview(const BandedReport& report, QWidget* owner, PrintHandler print = {});

    int currentPage() const { return m_page; } // 0-based
    int zoomPercent() const { return m_zoom; }
    void showPage(int index);
    void setZoomPercent(int percent);
    void zoomIn();
    void zoomOut();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QPushButton* addButton(const char* name, const QString& text, const QString& spoken = {});
    int fittingZoom() const;
    void refresh();

    const BandedReport& m_report;
    PrintHandler m_print;
    int m_page = 0;
    int m_zoom = 100;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_image = nullptr;
    QLabel* m_pageLabel = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QPushButton* m_first = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
    QPushButton* m_last = nullptr;
};
