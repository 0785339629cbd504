#pragma once

#include <QString>

// A workspace is a folder holding TVL.INI; the program runs in it.
namespace Workspace {

struct Request {
    QString folder;
    QString database; // the database file; made when newDatabase
    bool newDatabase = true;
    QString company;  // [User] Name
    QString password; // of the first employee of a new database
};

// The database a new workspace makes when none is chosen.
QString defaultDatabase(const QString& folder);

// The employee a new database holds, so that someone can log in.
constexpr const char* kFirstEmployee = "001";

// Writes folder/TVL.INI (UTF-8 with a byte order mark) naming the database
// and the company, with every menu button enabled. A new database gets
// every table and the employee kFirstEmployee 「管理者」 with the
// password's hash (none for an empty one);
// an existing one must be a sound database of this program. Never
// overwrites TVL.INI or an existing database file. Throws AppError.
void create(const Request& request);

} // namespace Workspace
