#include "transfercommand.h"

#include "settlecommand.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/numberformat.h"
#include "settlement/settlementlist.h"
#include "transfer/transferfile.h"

#include <cstdio>

namespace {

struct Arguments {
    QString path;
    RunDesignation run;
    QString mmdd;
};

Arguments parse(const QStringList& args) {
    QStringList positional;
    std::optional<QString> date;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (auto d = SettleCommand::optionValue(args, i, QStringLiteral("--date")))
            date = d;
        else
            SettleCommand::keepPositional(args.at(i), positional);
    }
    if (positional.size() != 2)
        throw AppError(QStringLiteral("DB RUN --date MMDD を指定してください。"));
    Arguments parsed{positional.at(0), designateRun(positional.at(1)), date.value_or(QString())};
    if (!parsed.run.isUsable())
        throw AppError(QStringLiteral("RUN は精算日時（\"2026/12/07 10:15:00\"）か精算日です: %1")
                           .arg(positional.at(1)));
    if (!isTransferDay(parsed.mmdd))
        throw AppError(
            QStringLiteral("--date には振込指定日を月日4桁（MMDD）で指定してください。"));
    return parsed;
}

} // namespace

namespace TransferCommand {

bool isCommand(const QString& command) {
    return command == QLatin1String("transfer");
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments parsed;
    try {
        parsed = parse(args);
    } catch (const AppError& e) {
        err << "tarvel-admin transfer: " << e.text() << "\n";
        return SettleCommand::kBadUsage;
    }
    int status = SettleCommand::kFailed;
    try {
        openDatabase(parsed.path);
        const TransferSender sender = TransferSender::read();
        std::optional<QDateTime> run = parsed.run.stamp;
        if (!parsed.run.stamp.isValid())
            run = findSettlementRun(parsed.run);
        if (!run)
            throw AppError(QStringLiteral("指定された日時には精算処理は行われていません。"));
        const TransferBatch batch = loadTransferBatch(*run);
        if (batch.payees.isEmpty()) {
            err << "tarvel-admin transfer: この精算に振込で支払う内職者はいません。\n";
            status = SettleCommand::kNothing;
        } else {
            const QByteArray bytes = transferFileBytes(sender, parsed.mmdd, batch);
            out.flush();
            std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
            std::fflush(stdout);
            err << "振込データ: " << batch.payees.size() << " 件、"
                << formatNumber(batch.total(), NumberPattern::AmountList) << " 円（現金払い "
                << batch.cashWorkers << " 名は金種表）\n";
            status = SettleCommand::kDone;
        }
    } catch (const AppError& e) {
        err << "tarvel-admin transfer: " << e.text() << "\n";
    }
    DBClose();
    return status;
}

} // namespace TransferCommand
