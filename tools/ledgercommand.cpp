#include "ledgercommand.h"

#include "settlecommand.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/ini.h"
#include "core/screens/appsetup.h"
#include "core/screens/printoutput.h"
#include "core/screens/reportpainter.h"
#include "homework/ledger.h"
#include "homework/screens/ledgerreport.h"

#include <QApplication>
#include <QFileInfo>
#include <cstring>
#include <tuple>

namespace {

struct Arguments {
    QString path;
    QString pdf;
    LedgerSelection selection;
};

Arguments parse(const QStringList& args) {
    Arguments parsed;
    QStringList positional;
    std::optional<QString> workers, pdf;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (auto w = SettleCommand::optionValue(args, i, QStringLiteral("--workers")))
            workers = w;
        else if (auto p = SettleCommand::optionValue(args, i, QStringLiteral("--pdf")))
            pdf = p;
        else
            SettleCommand::keepPositional(args.at(i), positional);
    }
    const SettleCommand::PathAndPeriod period = SettleCommand::pathAndPeriod(positional);
    parsed.path = period.path;
    LedgerSelection& s = parsed.selection;
    s.first = period.first;
    s.last = period.last;
    if (s.last < s.first)
        throw AppError(QStringLiteral("LAST が FIRST より前です。"));
    if (workers)
        std::tie(s.fromCode, s.toCode) = SettleCommand::workerRange(*workers);
    if (!pdf || !pdf->endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        throw AppError(QStringLiteral("--pdf FILE.pdf で出力先を指定してください。"));
    parsed.pdf = *pdf;
    return parsed;
}

} // namespace

namespace LedgerCommand {

bool isCommand(const char* command) {
    return command && std::strcmp(command, "ledger") == 0;
}

int main(int argc, char** argv) {
    // Painting pages needs a GUI application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return run(app.arguments().mid(2), out, err);
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments parsed;
    try {
        parsed = parse(args);
    } catch (const AppError& e) {
        err << "tarvel-admin ledger: " << e.text() << "\n";
        return SettleCommand::kBadUsage;
    }
    int status = SettleCommand::kFailed;
    try {
        DBOpenPath(parsed.path);
        const QList<LedgerWorker> workers = loadLedger(parsed.selection, PaymentTerms::read());
        if (workers.isEmpty()) {
            err << "tarvel-admin ledger: 期間内に帳簿に記入する取引がありません。\n";
            status = SettleCommand::kNothing;
        } else {
            const BandedReport report = ledgerReport(
                workers, parsed.selection, IniRead(QStringLiteral("User"), QStringLiteral("Name")));
            const QFileInfo file(parsed.pdf);
            PrintSettings settings;
            settings.pdf = true;
            settings.folder = file.absolutePath();
            PrintRun run(settings);
            printReport(run, report, file.completeBaseName());
            out << "作成しました: " << file.absoluteFilePath() << "（内職者 " << workers.size()
                << " 名、" << report.pageCount() << " ページ）\n";
            status = SettleCommand::kDone;
        }
    } catch (const AppError& e) {
        err << "tarvel-admin ledger: " << e.text() << "\n";
        status = SettleCommand::kFailed;
    }
    DBClose();
    return status;
}

} // namespace LedgerCommand
