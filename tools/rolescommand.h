#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <QTextStream>

// tarvel-admin roles DSN CLERK: run as the database's owner, gives the
// clerks' role what the clerk screens need and nothing more. The owner keeps
// create, migrate, restore, upgrades and settlements.
namespace RolesCommand {

bool isCommand(const QString& command);
int run(const QStringList& args, QTextStream& out, QTextStream& err);

// The grants on db's schema, in one transaction. Throws DbError.
void grantClerk(const QSqlDatabase& db, const QString& clerk);

} // namespace RolesCommand
