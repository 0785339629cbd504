#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// Reading printed PDF files back with the tools a user has (poppler-utils,
// zbar-tools). Positions are in twips from the page's top-left corner.
namespace PdfTools {

// The first of the tools that is not installed, or "" when all are.
QString missing(const QStringList& tools);

struct Info {
    int pages = -1;
    QSizeF size; // of the first page
};
Info info(const QString& pdf);
struct Word {
    QString text;
    QRectF box;
};
QList<Word> words(const QString& pdf, int page = 1);
// The words whose middle lies in the area, in reading order, run together.
QString textIn(const QList<Word>& words, const QRectF& area);
// Every barcode zbarimg reads in an area of the page rendered at `dpi`.
// zbarimg reports equal symbols of one image once: look at one area each.
QStringList barcodes(const QString& pdf, const QRectF& area, int dpi = 300, int page = 1);

} // namespace PdfTools

// Skips the test when a tool that reads the printed file back is not installed.
#define REQUIRE_PDF_TOOLS(...)                                                                     \
    if (const QString tool = PdfTools::missing({__VA_ARGS__}); !tool.isEmpty())                    \
    QSKIP(qPrintable(tool + QStringLiteral(" is not installed (poppler-utils)")))
