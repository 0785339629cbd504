#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

// Where the old tables come from: a folder of exported files, one per table
// (seihin_t.csv, or seihin_t.txt as Access's text export names it), or the
// Access file itself read through mdbtools.
class ImportSource {
  public:
    virtual ~ImportSource() = default;
    // The exported bytes of one table, header row first. Throws AppError
    // naming the table when it cannot be had.
    virtual QByteArray tableBytes(const QString& table) = 0;
    // Throws AppError naming every one of `tables` that the source lacks.
    virtual void requireTables(const QStringList& tables) = 0;
    // What the clerk knows those bytes by, for a place in them.
    virtual QString tableOrigin(const QString& table) const = 0;
};

// The mdbtools programs; tests put a stand-in in their place.
struct MdbTools {
    QString tablesProgram = QStringLiteral("mdb-tables");
    QString exportProgram = QStringLiteral("mdb-export");
};

// A folder gives the folder source, a file the mdbtools one. Throws
// AppError when the path is neither.
std::unique_ptr<ImportSource> openImportSource(const QString& path, const MdbTools& tools = {});
