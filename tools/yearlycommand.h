#pragma once

#include <QStringList>
#include <QTextStream>

// tarvel-admin yearly DB YEAR [--workers FROM:TO] --pdf FILE
// 年間工賃支払明細書 of a calendar year as one PDF, a page per home-worker.
// It prints, so it runs in an application of its own with no display needed.
namespace YearlyCommand {

bool isCommand(const char* command);

// The whole run from main's arguments; returns the exit status (0 done,
// 1 failed, 2 wrong arguments, 3 nobody was paid in the year).
int main(int argc, char** argv);

// Writes the file for args (after the command word); problems go to err.
// Needs a QApplication.
int run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace YearlyCommand
