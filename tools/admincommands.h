#pragma once

#include "demodata.h"

#include <QDate>
#include <QString>
#include <QStringList>

// What the administration command does to database files. Every failure
// throws AppError with a text for the person at the terminal.
namespace Admin {

// A new database with every table and no rows. Never touches an existing
// file; a half-made file is removed again.
void createDatabase(const QString& path);

// The same, filled with the demo data dated relative to `now`.
DemoData::Summary createDemoDatabase(const QString& path, const QDateTime& now);

// Problems of an existing database file, one line each; empty when sound.
// The file is opened read-only.
QStringList checkDatabase(const QString& path);

} // namespace Admin
