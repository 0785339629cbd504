#include "core/screens/reportpreview.h"

#include "core/screens/bandedreport.h"
#include "core/screens/fields.h"
#include "core/screens/onscreen.h"
#include "core/screens/reportpainter.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 8> kZoomSteps = {25, 50, 75, 100, 125, 150, 200, 300};

} // namespace

ReportPreview::ReportPreview(const BandedReport& report, QWidget* owner, PrintHandler print)
    : Screen(owner), m_report(report), m_print(std::move(print)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(report.title());
    setModal(true);

    auto* bar = new QHBoxLayout;
    m_first = addButton("cmdFirst", QString(), QStringLiteral("最初のページ"));
    m_previous = addButton("cmdPrev", QString(), QStringLiteral("前のページ"));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblPage"));
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setMinimumWidth(twipsToPixels(1200));
    m_next = addButton("cmdNext", QString(), QStringLiteral("次のページ"));
    m_last = addButton("cmdLast", QString(), QStringLiteral("最後のページ"));
    for (const auto& [button, icon] : {std::pair{m_first, QStyle::SP_MediaSkipBackward},
                                       {m_previous, QStyle::SP_MediaSeekBackward},
                                       {m_next, QStyle::SP_MediaSeekForward},
                                       {m_last, QStyle::SP_MediaSkipForward}})
        button->setIcon(style()->standardIcon(icon, nullptr, button));
    QPushButton* zoomOutButton =
        addButton("cmdZoomOut", QStringLiteral("－"), QStringLiteral("縮小"));
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(QStringLiteral("lblZoom"));
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    m_zoomLabel->setMinimumWidth(twipsToPixels(800));
    QPushButton* zoomInButton =
        addButton("cmdZoomIn", QStringLiteral("＋"), QStringLiteral("拡大"));
    QPushButton* printButton = addButton("cmdPrint", QStringLiteral("印刷"));
    QPushButton* closeButton = addButton("cmdClose", QStringLiteral("閉じる"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_first, m_previous, m_pageLabel, m_next, m_last,
                                         zoomOutButton, m_zoomLabel, zoomInButton})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(printButton);
    bar->addWidget(closeButton);

    m_image = new QLabel;
    m_image->setObjectName(QStringLiteral("lblPageImage"));
    m_image->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrPage"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_image);
    // The page keys are the window's, not the scroll area's.
    m_scroll->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_first, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(m_previous, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_last, &QPushButton::clicked, this, [this] { showPage(m_report.pageCount() - 1); });
    connect(zoomOutButton, &QPushButton::clicked, this, &ReportPreview::zoomOut);
    connect(zoomInButton, &QPushButton::clicked, this, &ReportPreview::zoomIn);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    printButton->setEnabled(static_cast<bool>(m_print));
    connect(printButton, &QPushButton::clicked, this, [this] {
        if (m_print)
            m_print(m_report);
    });

    // Over the owner screen, as far from its corner as the report window
    // has always opened; sizes are the outer window's.
    const QPoint ownerCorner = owner ? owner->window()->frameGeometry().topLeft() : QPoint(0, 0);
    move(ownerCorner + QPoint(twipsToPixels(45), twipsToPixels(600)));
    resize(fittingSize(this, QSize(twipsToPixels(15000), twipsToPixels(10000))));
    fitOnScreen(this);

    m_zoom = fittingZoom();
    refresh();
}

QPushButton* ReportPreview::addButton(const char* name, const QString& text,
                                      const QString& spoken) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(name));
    // Symbols say nothing to a screen reader.
    if (!spoken.isEmpty()) {
        button->setAccessibleName(spoken);
        button->setToolTip(spoken);
    }
    // Enter must not print or turn pages by accident.
    button->setAutoDefault(false);
    return button;
}

// The largest step that shows the whole page width, but not above 100 %.
int ReportPreview::fittingZoom() const {
    const double pageInches = m_report.pageLayout().fullRect(QPageLayout::Inch).width();
    const int room = width() - 60; // frame, scroll bar, margins
    const double fit = 100.0 * room / (pageInches * logicalDpiX());
    int zoom = kZoomSteps.front();
    for (int step : kZoomSteps)
        if (step <= fit && step <= 100)
            zoom = step;
    return zoom;
}

void ReportPreview::showPage(int index) {
    const int clamped = std::clamp(index, 0, m_report.pageCount() - 1);
    if (clamped == m_page)
        return;
    m_page = clamped;
    refresh();
    m_scroll->verticalScrollBar()->setValue(0);
}

void ReportPreview::setZoomPercent(int percent) {
    const int clamped = std::clamp(percent, kZoomSteps.front(), kZoomSteps.back());
    if (clamped == m_zoom)
        return;
    m_zoom = clamped;
    refresh();
}

void ReportPreview::zoomIn() {
    const auto it = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), m_zoom);
    if (it != kZoomSteps.end())
        setZoomPercent(*it);
}

void ReportPreview::zoomOut() {
    const auto it = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), m_zoom);
    if (it != kZoomSteps.begin())
        setZoomPercent(*(it - 1));
}

void ReportPreview::refresh() {
    const int count = m_report.pageCount();
    const double dpi = logicalDpiX() * m_zoom / 100.0;
    m_image->setPixmap(QPixmap::fromImage(renderReportPage(m_report, m_page, dpi)));
    m_image->adjustSize();
    m_pageLabel->setText(QStringLiteral("%1 / %2").arg(m_page + 1).arg(count));
    m_zoomLabel->setText(QStringLiteral("%1%").arg(m_zoom));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < count);
    m_last->setEnabled(m_page + 1 < count);
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown:
        showPage(m_page + 1);
        break;
    case Qt::Key_PageUp:
        showPage(m_page - 1);
        break;
    case Qt::Key_Home:
        showPage(0);
        break;
    case Qt::Key_End:
        showPage(m_report.pageCount() - 1);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        break;
    case Qt::Key_Minus:
        zoomOut();
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}
