#pragma once

#include <QStringList>
#include <QTextStream>

// tarvel-admin export DB WHAT [FIRST LAST] [--format xlsx|csv] [--output FILE]:
// a list as an Excel workbook or CSV, byte for byte what its screen's
// Excel出力 writes, into FILE or on standard output. The format is
// --format, else FILE's extension, else CSV.
namespace ExportCommand {

bool isCommand(const QString& command);
int run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace ExportCommand
