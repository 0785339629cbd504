#pragma once

#include "importer/importsource.h"
#include "importer/oldtables.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>

// A row that cannot be taken, and why.
struct Refusal {
    QString table;
    QString key;    // the row's key as exported, or its line when it has none
    QString column; // "" when the row as a whole is refused
    QString value;
    QString reason;
};

// Where each row goes as soon as it is checked: its values converted as
// far as they go (a value that could not be converted is Null), in the
// order of table.columns, and whether it may be written.
using ImportRowSink =
    std::function<void(const OldTables::Table& table, const QVariantList& values, bool accepted)>;

// Reads every old table from the source, converts each value to the
// program's storage rules and refuses what cannot be taken: unreadable
// values, empty and duplicate keys, and price lines or slips naming a
// drawing number, work code or home-worker that no master holds. No table
// is held as rows: each goes to `sink` as it is read. Returns the refusals.
// Throws AppError when a table or one of its columns is missing altogether.
QList<Refusal> readAndCheck(ImportSource& source, const ImportRowSink& sink);

// The refusals as the clerk reads them: what to do, then one line each.
QString refusalReport(const QList<Refusal>& refusals);
