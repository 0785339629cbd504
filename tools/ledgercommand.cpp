#include "ledgercommand.h"

#include "pdfcommand.h"
#include "settlecommand.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/ini.h"
#include "homework/ledger.h"
#include "homework/screens/ledgerreport.h"

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
    parsed.pdf = PdfCommand::pdfFile(pdf);
    return parsed;
}

} // namespace

namespace LedgerCommand {

bool isCommand(const char* command) {
    return command && std::strcmp(command, "ledger") == 0;
}

int main(int argc, char** argv) {
    return PdfCommand::main(argc, argv, run);
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
        openDatabase(parsed.path);
        const QList<LedgerWorker> workers = loadLedger(parsed.selection, PaymentTerms::read());
        if (workers.isEmpty()) {
            err << "tarvel-admin ledger: 期間内に帳簿に記入する取引がありません。\n";
            status = SettleCommand::kNothing;
        } else {
            const BandedReport report = ledgerReport(
                workers, parsed.selection, IniRead(QStringLiteral("User"), QStringLiteral("Name")));
            PdfCommand::writeReport(report, parsed.pdf, workers.size(), out);
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
