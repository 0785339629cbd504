#pragma once

#include "importer/importsource.h"

#include <QString>

// tarvel-admin import: the old Access database, or a folder of its tables
// exported as text, into a new database file.
namespace Importer {

struct Options {
    bool keepGoing = false; // write the rows that can be taken, report the rest
    MdbTools tools;
};

struct Outcome {
    bool written = false; // the target holds the imported rows
    bool agrees = false;  // every count and amount of the summary agrees
    QString refusals;     // the refusal report, "" when every row was taken
    QString summary;      // before and after, side by side
    QString reportPath;   // where the refusal report was kept, or ""
};

// Refuses a target that holds rows or tables not the program's; writes
// every table in one transaction as it reads and checks the source, so that
// a refusal or a failure leaves no half-filled database behind. The target is a file or an empty
// server database. Throws AppError (DbError) when the import cannot run at all.
Outcome run(const QString& source, const QString& target, const Options& options);

// Where --keep-going keeps the refusal report: beside a file, in the
// current folder for a server.
QString reportPathFor(const QString& target);

} // namespace Importer
