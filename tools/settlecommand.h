#pragma once

#include <QDate>
#include <QStringList>
#include <QTextStream>
#include <optional>
#include <utility>

// tarvel-admin settle|trial|cancel PATH FIRST LAST [--workers FROM:TO] --employee CODE
namespace SettleCommand {

// Exit statuses.
constexpr int kDone = 0;
constexpr int kFailed = 1;   // the run failed and was rolled back
constexpr int kBadUsage = 2; // wrong arguments, reversed ranges, unknown employee
constexpr int kNothing = 3;  // nothing to settle, try or cancel

bool isCommand(const QString& command);

// A day typed as YYYY-MM-DD or YYYYMMDD; AppError naming the text otherwise.
QDate parseDay(const QString& text);
// The value of "--name VALUE" or "--name=VALUE" at args[i]; advances i past
// it. Throws AppError when the value is missing.
std::optional<QString> optionValue(const QStringList& args, qsizetype& i, const QString& name);
// An argument that no option took: kept as a positional one, or refused
// (AppError) when it is an unknown option.
void keepPositional(const QString& arg, QStringList& positional);
// The positional arguments PATH FIRST LAST, the days read by parseDay.
struct PathAndPeriod {
    QString path;
    QDate first, last;
};
PathAndPeriod pathAndPeriod(const QStringList& positional);
// The FROM and TO of "--workers FROM:TO"; AppError naming the text otherwise.
std::pair<QString, QString> workerRange(const QString& text);

// Runs the command (args after the command word) on its own connection to
// the file and writes the result for scripts to `out`: "T<TAB>time stamp",
// then one tab-separated line per home-worker (per slip for a trial).
// Problems go to `err`; returns the exit status.
int run(const QString& command, const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace SettleCommand
