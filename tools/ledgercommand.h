#pragma once

#include <QStringList>
#include <QTextStream>

// tarvel-admin ledger PATH FIRST LAST [--workers FROM:TO] --pdf FILE
// The Home Work Act's ledger (家内労働者帳簿) as a PDF file. It prints, so it
// runs in an application of its own with no display needed.
namespace LedgerCommand {

bool isCommand(const char* command);

// The whole run from main's arguments; returns the exit status (0 done,
// 1 failed, 2 wrong arguments, 3 no entry in the period).
int main(int argc, char** argv);

// Writes the file for args (after the command word); problems go to err.
// Needs a QApplication.
int run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace LedgerCommand
