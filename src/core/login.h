#pragma once

#include <QString>

// Looks up a live employee by code (compared as given; the caller strips
// trailing blanks). Found: gEmpCode and gPassword take the row's code and
// stored password (Null gives "") and the result is 0. Not found: 1, and
// both are left as they were. Throws DbError when the lookup fails.
int LoginCheck(const QString& code);

// The typed password, trailing blanks removed, against the stored one as
// exact text.
bool PasswordMatches(const QString& typed, const QString& stored);
