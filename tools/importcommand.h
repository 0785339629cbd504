#pragma once

#include <QStringList>
#include <QTextStream>

// tarvel-admin import SOURCE TARGET [--keep-going]
namespace ImportCommand {

inline bool isCommand(const QString& command) {
    return command == QLatin1String("import");
}

// Exit status 0 only when everything was taken and every count agrees; 1
// when rows were refused, counts differ or the import failed; 2 for wrong
// arguments.
int run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ImportCommand
