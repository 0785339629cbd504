#pragma once

#include "importer/importsource.h"
#include "importer/oldtables.h"

#include <QList>
#include <QString>
#include <QVariantList>

// A row that cannot be taken, and why.
struct Refusal {
    QString table;
    QString key;    // the row's key as exported, or its line when it has none
    QString column; // "" when the row as a whole is refused
    QString value;
    QString reason;
};

// One old table as read: every row converted as far as it goes (a value
// that could not be converted is Null), and which rows may be written.
struct ConvertedTable {
    const OldTables::Table* table = nullptr;
    QList<QVariantList> rows; // values in the order of table->columns
    QList<bool> accepted;
    qsizetype acceptedCount() const { return accepted.count(true); }
};

struct ImportData {
    QList<ConvertedTable> tables; // in the order of OldTables::tables()
    QList<Refusal> refusals;
};

// Reads every old table from the source, converts each value to the
// program's storage rules and refuses what cannot be taken: unreadable
// values, empty and duplicate keys, and price lines or slips naming a
// drawing number, work code or home-worker that no master holds. Throws
// AppError when a table or one of its columns is missing altogether.
ImportData readAndCheck(ImportSource& source);

// The refusals as the clerk reads them: what to do, then one line each.
QString refusalReport(const QList<Refusal>& refusals);
