#pragma once

#include <QImage>
#include <QString>

class BandedReport;
class PrintRun;
class QPainter;

// Paints one page (0-based) with a painter whose origin is the top-left
// corner of the page's margins, scaled to the painter's device.
void paintReportPage(QPainter& painter, const BandedReport& report, int pageIndex);

// Every page as one document of the run (a printer job, or the PDF file
// "<name>.pdf"), in the report's page layout. Throws AppError; a report that
// fails half-way leaves no file and cancels its job.
void printReport(PrintRun& run, const BandedReport& report, const QString& name);

// The whole page, margins included, at `dpi` dots per inch (preview).
QImage renderReportPage(const BandedReport& report, int pageIndex, double dpi);

// What each page shows as text: "=== p / P ===" before each page, then one
// line per row of text items (items whose middles are at one height), the
// items left to right joined by " | ". Rules and boxes are left out.
QString reportText(const BandedReport& report);
