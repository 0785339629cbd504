#pragma once

#include <QImage>
#include <QString>

class BandedReport;
class QPagedPaintDevice;
class QPainter;

// Paints one page (0-based) with a painter whose origin is the top-left
// corner of the page's margins, scaled to the painter's device.
void paintReportPage(QPainter& painter, const BandedReport& report, int pageIndex);

// Every page on a printer or a PDF writer, in the report's page layout (the
// device must not be painting yet). False when the device cannot start.
bool printReport(const BandedReport& report, QPagedPaintDevice& device);

// The whole page, margins included, at `dpi` dots per inch (preview).
QImage renderReportPage(const BandedReport& report, int pageIndex, double dpi);

// What each page shows as text: "=== p / P ===" before each page, then one
// line per row of text items (items whose middles are at one height), the
// items left to right joined by " | ". Rules and boxes are left out.
QString reportText(const BandedReport& report);
