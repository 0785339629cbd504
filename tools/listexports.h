#pragma once

#include "export/listtable.h"

// The lists tarvel-admin exports, read from the open connection with the
// loaders the list screens use, in the rows and columns the screens show
// when they open (deleted rows hidden; expired prices hidden).
namespace ListExports {

// slips, prices, drawings, workcodes, employees, homeworkers, settlement
const QStringList& names();

// The list `what`. For slips, first and last (YYYY-MM-DD, YYYYMMDD or
// YYYY/MM/DD) select the live slips delivered in that period; without them
// the undelivered live slips are listed, as the slip search opens. For a
// settlement, first names the run: a day or "yyyy/mm/dd hh:mm:ss" (or the
// day in first and the time in last). Throws AppError for a bad name or
// date, DbError for the database.
ListTable table(const QString& what, const QString& first, const QString& last);

// Why first and last cannot select the list `what` (a bad or reversed
// period, no run named); "" when they can. Reads no database.
QString selectionProblem(const QString& what, const QString& first, const QString& last);

} // namespace ListExports
