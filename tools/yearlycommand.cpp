#include "yearlycommand.h"

#include "pdfcommand.h"
#include "settlecommand.h"

#include "core/apperror.h"
#include "core/database.h"
#include "homework/screens/yearlyreport.h"

#include <cstring>
#include <tuple>

namespace {

struct Arguments {
    QString path;
    QString pdf;
    YearlySelection selection;
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
    if (positional.size() != 2)
        throw AppError(QStringLiteral("DB YEAR を指定してください。"));
    parsed.path = positional.at(0);
    bool ok = false;
    parsed.selection.year = positional.at(1).toInt(&ok);
    if (!ok || positional.at(1).size() != 4 || parsed.selection.year < 1900)
        throw AppError(QStringLiteral("YEAR は西暦4桁です: %1").arg(positional.at(1)));
    if (workers)
        std::tie(parsed.selection.fromCode, parsed.selection.toCode) =
            SettleCommand::workerRange(*workers);
    parsed.pdf = PdfCommand::pdfFile(pdf);
    return parsed;
}

} // namespace

namespace YearlyCommand {

bool isCommand(const char* command) {
    return command && std::strcmp(command, "yearly") == 0;
}

int main(int argc, char** argv) {
    return PdfCommand::main(argc, argv, run);
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments parsed;
    try {
        parsed = parse(args);
    } catch (const AppError& e) {
        err << "tarvel-admin yearly: " << e.text() << "\n";
        return SettleCommand::kBadUsage;
    }
    int status = SettleCommand::kFailed;
    try {
        const QList<IncomeLine> lines = IncomeLines::read();
        openDatabase(parsed.path);
        const QList<YearlyStatement> statements = loadYearlyStatements(parsed.selection, lines);
        if (statements.isEmpty()) {
            err << "tarvel-admin yearly: " << parsed.selection.year
                << "年に支払を受けた内職者はいません。\n";
            status = SettleCommand::kNothing;
        } else {
            const BandedReport report = yearlyReport(statements, StatementIssuer::read());
            PdfCommand::writeReport(report, parsed.pdf, statements.size(), out);
            status = SettleCommand::kDone;
        }
    } catch (const AppError& e) {
        err << "tarvel-admin yearly: " << e.text() << "\n";
        status = SettleCommand::kFailed;
    }
    DBClose();
    return status;
}

} // namespace YearlyCommand
