#pragma once

#include "core/sqldialect.h"

#include <QSqlDatabase>
#include <QStringList>

// Employee passwords are stored only as hashes (core/passwordhash.h) and
// never read back to be shown. On a server the clerks' role cannot read the
// column at all: the functions below (owned by the database's owner) answer
// for it.

// The list's column パスワード: "＊＊＊＊" for a set password, "" for none.
const EngineSql& passwordMaskColumn();

// Whether the employee has a password.
bool employeeHasPassword(const QString& code);

// Stores the hash of clear as the employee's password; "" removes it. On a
// server a clerk's role may only give one to an employee who has none:
// AppError then, naming the owner's connection as the way. Throws DbError.
void storeEmployeePassword(const QString& code, const QString& clear);

// Codes of the employees whose passwords are still stored in clear (from
// the old program or a database made before hashing). Throws DbError.
QStringList employeesWithClearPasswords(const QSqlDatabase& db);

// The server's functions behind the login and the password column, made
// with the tables and by the upgrade that brings them.
QStringList serverPasswordFunctions();
