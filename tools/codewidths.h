#pragma once

#include <QSqlDatabase>
#include <QStringList>

namespace CodeWidths {

// Codes stored in a master, or in the slips, prices and settlements that
// refer to one, that differ from another code of the same kind only by
// full-width and half-width characters ("０００１" and "0001"): one line
// per such group, naming each spelling and where it is used. Reads only.
QStringList problems(const QSqlDatabase& db);

} // namespace CodeWidths
