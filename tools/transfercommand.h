#pragma once

#include <QStringList>
#include <QTextStream>

// tarvel-admin transfer DB RUN --date MMDD > FILE: the banks' transfer file
// of a settlement run on standard output, byte for byte what the settlement
// screen writes; the company's side from TVL.INI [Transfer] of the current
// folder. RUN is a run's time stamp or a day (its latest live run).
namespace TransferCommand {

bool isCommand(const QString& command);

// Exit statuses: 0 written, 1 refused or failed, 2 wrong arguments, 3 no
// home-worker of the run is paid by transfer (nothing written).
int run(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace TransferCommand
