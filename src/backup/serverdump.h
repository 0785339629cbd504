#pragma once

#include "backup/databasecopy.h"

// Backups of a database on a PostgreSQL server, made with the server's own
// tools: pg_dump's custom format, read back by pg_restore. Every failure
// throws AppError with a text for the clerk.
namespace ServerDump {

// Dumps the database of dsn to `target` (a new file). The rows per table are
// counted in the very snapshot pg_dump reads; the dump is written under a
// temporary name and appears only once pg_restore can read every table's
// data from it. When a file named target appears meanwhile, the dump takes
// the next free name `next` proposes; without `next` that is an error.
DatabaseCopy::Copy dumpTo(const QString& dsn, const QString& target,
                          const PartFile::NextName& next = {});

// Puts a dump back in place of the database of dsn, in one transaction,
// after writing the database as it is to dumpPath + ".before-restore"
// (not when it has no tables yet: the dump brings them). Refuses while
// another connection uses the database, and into a schema other than the
// dump's.
DatabaseCopy::Restored restore(const QString& dumpPath, const QString& dsn);

} // namespace ServerDump
