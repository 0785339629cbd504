#pragma once

#include "backup/partfile.h"

#include <QMap>
#include <QString>

// Consistent copies of a database file, taken with SQLite's online backup
// while other copies of the program go on writing, and put back again.
// Every failure throws AppError with a text for the clerk.
namespace DatabaseCopy {

// Rows per table, by table name.
using RowCounts = QMap<QString, qint64>;

// How deep a check goes. Full is SQLite's integrity_check, which also
// matches every index against its table; Quick (quick_check) reads every
// page and record but not the indexes, at a fifth of the time. A copy is
// the source's pages byte for byte, so the indexes of a copy are as sound
// as those of the database it was taken from.
enum class Depth { Quick, Full };

struct Copy {
    QString path;
    RowCounts rows; // as read in the snapshot that was copied
};

// Copies the database at dbPath to `target` (a new file) and checks the
// copy: it must pass the check and hold the same rows per table as
// the snapshot it was taken from. The copy is written beside the target
// under a name of its own and appears only once it is checked. When a file
// named target appears meanwhile, the copy takes the next free name that
// `next` proposes; without `next` that is an error.
Copy copyTo(const QString& dbPath, const QString& target, Depth depth = Depth::Full,
            const PartFile::NextName& next = {});

// Whether a file is a sound database of this program: the check passes
// and every table is there. Returns its rows per table.
RowCounts check(const QString& path, Depth depth = Depth::Full);

struct Restored {
    RowCounts rows;
    QString keptAs; // where the replaced database was kept, "" when there was none
};

// Puts the backup at backupPath in place of the database at dbPath after
// checking it in full, keeping the replaced file as dbPath + ".before-restore".
// Refuses while any program (this one included) has the database open.
Restored restore(const QString& backupPath, const QString& dbPath);

} // namespace DatabaseCopy
