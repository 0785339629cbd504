#pragma once

#include <QSqlDatabase>
#include <QStringList>

// Whether the database behind db is damaged, as far as its engine can tell:
// SQLite's integrity_check over every page, record and index; on a server
// the catalogue's word on every index and constraint of the schema, and a
// read of every table's rows. Returns one line per problem, none when sound.
QStringList damageOf(const QSqlDatabase& db, const QString& shownPath);
