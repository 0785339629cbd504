#include "pdfcommand.h"

#include "core/apperror.h"
#include "core/screens/appsetup.h"
#include "core/screens/bandedreport.h"
#include "core/screens/printoutput.h"
#include "core/screens/reportpainter.h"

#include <QApplication>
#include <QFileInfo>

namespace PdfCommand {

int main(int argc, char** argv,
         const std::function<int(const QStringList&, QTextStream&, QTextStream&)>& run) {
    // Painting pages needs a GUI application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return run(app.arguments().mid(2), out, err);
}

QString pdfFile(const std::optional<QString>& pdf) {
    if (!pdf || !pdf->endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        throw AppError(QStringLiteral("--pdf FILE.pdf で出力先を指定してください。"));
    return *pdf;
}

void writeReport(const BandedReport& report, const QString& pdf, qsizetype workers,
                 QTextStream& out) {
    const QFileInfo file(pdf);
    PrintSettings settings;
    settings.pdf = true;
    settings.folder = file.absolutePath();
    PrintRun run(settings);
    printReport(run, report, file.completeBaseName());
    out << "作成しました: " << file.absoluteFilePath() << "（内職者 " << workers << " 名、"
        << report.pageCount() << " ページ）\n";
}

} // namespace PdfCommand
