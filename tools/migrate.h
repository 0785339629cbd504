#pragma once

#include <QString>
#include <QStringList>

// Moving an office's SQLite file to a PostgreSQL server.
namespace Migrate {

struct Report {
    QStringList lines; // per table and per total: "source target" and whether they agree
    bool agrees = false;
};

// Copies every table of the file at sqlitePath into the database of dsn,
// in one transaction, creating the tables there when it has none; refuses
// a target that already holds rows. Then compares the row count of every
// table and the settled amounts per home-worker and per run on both sides.
// Throws AppError when nothing could be copied.
Report run(const QString& sqlitePath, const QString& dsn);

} // namespace Migrate
