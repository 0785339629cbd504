#pragma once

#include <QStringList>
#include <QTextStream>

// tarvel-admin export DB WHAT [FIRST LAST]: a list as CSV on standard
// output, byte for byte what its screen's CSV出力 writes.
namespace ExportCommand {

bool isCommand(const QString& command);
int run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ExportCommand
