#include "settlecommand.h"
#include "argumenttext.h"

#include "backup/autobackup.h"
#include "core/apperror.h"
#include "core/database.h"
#include "core/sideconnection.h"
#include "core/sqldialect.h"
#include "core/sqlquery.h"
#include "settlement/settlementrun.h"
#include "settlement/trial.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <optional>
#include <tuple>

namespace SettleCommand {

QDate parseDay(const QString& text) {
    static const QRegularExpression dashed(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    static const QRegularExpression digits(QStringLiteral("^\\d{8}$"));
    QDate day;
    if (dashed.match(text).hasMatch())
        day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    else if (digits.match(text).hasMatch())
        day = QDate::fromString(text, QStringLiteral("yyyyMMdd"));
    else
        throw AppError(
            QStringLiteral("日付は YYYY-MM-DD か YYYYMMDD で指定してください: %1").arg(text));
    if (!day.isValid())
        throw AppError(QStringLiteral("存在しない日付です: %1").arg(text));
    return day;
}

std::optional<QString> optionValue(const QStringList& args, qsizetype& i, const QString& name) {
    const QString& a = args.at(i);
    if (a.startsWith(name + QLatin1Char('=')))
        return a.mid(name.size() + 1);
    if (a != name)
        return std::nullopt;
    if (i + 1 >= args.size())
        throw AppError(QStringLiteral("%1 に値がありません。").arg(name));
    return args.at(++i);
}

void keepPositional(const QString& arg, QStringList& positional) {
    if (arg.startsWith(QLatin1Char('-')))
        throw AppError(QStringLiteral("不明なオプションです: %1").arg(arg));
    positional << arg;
}

PathAndPeriod pathAndPeriod(const QStringList& positional) {
    if (positional.size() != 3)
        throw AppError(QStringLiteral("PATH FIRST LAST の三つを指定してください。"));
    return {positional.at(0), parseDay(positional.at(1)), parseDay(positional.at(2))};
}

std::pair<QString, QString> workerRange(const QString& text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0 || text.count(QLatin1Char(':')) != 1)
        throw AppError(QStringLiteral("--workers は FROM:TO で指定してください: %1").arg(text));
    return {text.left(colon), text.mid(colon + 1)};
}

} // namespace SettleCommand

namespace {

using SettleCommand::optionValue;
using SettleCommand::parseDay;

struct Arguments {
    QString path;
    SettlementCriteria criteria;
    std::optional<QString> backupFolder;
    std::optional<int> keep; // backups left after the one before the run
};

Arguments parse(const QStringList& args) {
    Arguments parsed;
    QStringList positional;
    std::optional<QString> workers, employee;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--allow-unpriced"))
            parsed.criteria.allowUnpriced = true;
        else if (auto v = optionValue(args, i, QStringLiteral("--workers")))
            workers = v;
        else if (auto e = optionValue(args, i, QStringLiteral("--employee")))
            employee = e;
        else if (auto b = optionValue(args, i, QStringLiteral("--backup-folder")))
            parsed.backupFolder = b;
        else if (auto k = optionValue(args, i, QStringLiteral("--keep"))) {
            bool ok = false;
            parsed.keep = k->toInt(&ok);
            if (!ok || *parsed.keep < 1)
                throw AppError(
                    QStringLiteral("--keep には 1 以上の整数を指定してください: %1").arg(*k));
        } else
            SettleCommand::keepPositional(args.at(i), positional);
    }
    if (positional.size() == 3) {
        // The path is named before the days are read.
        const QString pathProblem = ArgumentText::pathProblem(positional.at(0));
        if (!pathProblem.isEmpty())
            throw AppError(pathProblem);
    }
    const SettleCommand::PathAndPeriod period = SettleCommand::pathAndPeriod(positional);
    parsed.path = period.path;
    SettlementCriteria& c = parsed.criteria;
    c.firstDay = period.first;
    c.lastDay = period.last;
    if (workers)
        std::tie(c.firstWorker, c.lastWorker) = SettleCommand::workerRange(*workers);
    if (!employee || employee->trimmed().isEmpty())
        throw AppError(QStringLiteral("--employee CODE を指定してください。"));
    c.employeeCode = *employee;
    checkCriteria(c);
    return parsed;
}

// Looked up through a read-only connection before the program's own opens
// the file: a refused command must leave the file exactly as it was.
bool employeeIsLiveOn(const QSqlDatabase& db, const QString& code) {
    SqlQuery q(db, QStringLiteral("SELECT 1 AS found FROM syain_m WHERE 社員コード = ?"
                                  " AND 削除フラグ <> 1"));
    q.bind(code).exec();
    return q.next();
}

// Read only, so that a refused command leaves the file as it was.
bool employeeIsLive(const QString& path, const QString& code) {
    const SideConnection file(path, SideConnection::Open::ReadOnly);
    return employeeIsLiveOn(file.db(), code);
}

QString line(const QStringList& cells) {
    return cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

QString workerLine(const WorkerSettlement& w) {
    return line({w.workerCode, QString::number(w.slipCount), QString::number(w.amount),
                 QString::number(w.tax), QString::number(w.total)});
}

int execute(const QString& command, const SettlementCriteria& c, const TaxRules& tax,
            QTextStream& out) {
    if (command == QLatin1String("settle")) {
        const SettlementResult r = RunSettlement(c, {}, tax);
        out << line({QStringLiteral("T"), r.runText});
        for (const WorkerSettlement& w : r.workers)
            out << workerLine(w);
        return r.settled() ? SettleCommand::kDone : SettleCommand::kNothing;
    }
    if (command == QLatin1String("cancel")) {
        const CancelResult r = CancelSettlement(c);
        out << line({QStringLiteral("T"), r.runText});
        for (const WorkerSettlement& w : r.rows)
            out << workerLine(w);
        return r.cancelled() ? SettleCommand::kDone : SettleCommand::kNothing;
    }
    const TrialResult r = RunTrial(c);
    out << line({QStringLiteral("T"), QString()});
    for (const TrialRow& t : r.rows)
        out << line({t.workerCode, t.workerName, t.drawingNumber, t.workCode, t.workItem,
                     t.priceText, t.quantityText, t.amountText});
    return r.rows.isEmpty() ? SettleCommand::kNothing : SettleCommand::kDone;
}

} // namespace

namespace SettleCommand {

bool isCommand(const QString& command) {
    return command == QLatin1String("settle") || command == QLatin1String("trial") ||
           command == QLatin1String("cancel");
}

int run(const QString& command, const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments parsed;
    try {
        parsed = parse(args);
    } catch (const AppError& e) {
        err << "tarvel-admin " << command << ": " << e.text() << "\n";
        return kBadUsage;
    }
    int status = kFailed;
    try {
        const TaxRules tax = readTaxRules();
        const bool server = isServerDatabase(parsed.path);
        if (!server && !QFileInfo(parsed.path).isFile())
            throw DbError(
                QStringLiteral("データベースファイルが見つかりません。\n%1").arg(parsed.path));
        if (server)
            openDatabase(parsed.path);
        if (server ? !employeeIsLiveOn(gCon(), parsed.criteria.employeeCode)
                   : !employeeIsLive(parsed.path, parsed.criteria.employeeCode)) {
            err << "tarvel-admin " << command << ": 社員コード " << parsed.criteria.employeeCode
                << " は登録されていないか、削除されています。\n";
            DBClose();
            return kBadUsage;
        }
        if (command != QLatin1String("trial")) {
            // A server has no folder beside it: its dumps go where the
            // program's own backups go. How many are kept is [Backup] Keep
            // of TVL.INI in the current folder, as for the program.
            const AutoBackup::Settings program = AutoBackup::programSettings();
            AutoBackup::Settings s = server ? program : AutoBackup::besideDatabase(parsed.path);
            s.keep = parsed.keep.value_or(program.keep);
            if (parsed.backupFolder)
                s.folder = *parsed.backupFolder;
            AutoBackup::takeBeforeRun(parsed.path, s);
        }
        if (!server)
            openDatabase(parsed.path);
        status = execute(command, parsed.criteria, tax, out);
    } catch (const UnpricedSlipsError& e) {
        err << "tarvel-admin " << command << ": " << e.text()
            << "単価0円で精算するには --allow-unpriced を指定して下さい。\n";
        status = kFailed;
    } catch (const AppError& e) {
        err << "tarvel-admin " << command << ": " << e.text() << "\n";
        status = kFailed;
    }
    DBClose();
    return status;
}

} // namespace SettleCommand
