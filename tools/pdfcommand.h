#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

class BandedReport;

// What the commands that print a report to a PDF file share: an off-screen
// application, the --pdf argument and the writing of the pages.
namespace PdfCommand {

// Runs `run` with the arguments after the command word inside a QApplication
// that needs no display; returns its exit status.
int main(int argc, char** argv,
         const std::function<int(const QStringList&, QTextStream&, QTextStream&)>& run);

// The --pdf value, refused unless it names a .pdf file.
QString pdfFile(const std::optional<QString>& pdf);

// Writes the report's pages to `pdf` and tells on `out` how many, for
// `workers` home-workers.
void writeReport(const BandedReport& report, const QString& pdf, qsizetype workers,
                 QTextStream& out);

} // namespace PdfCommand
