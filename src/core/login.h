#pragma once

#include <QString>

// Looks up a live employee by code (compared as given; the caller strips
// trailing blanks). Found: gEmpCode takes the row's code and the result is
// 0. Not found: 1, and gEmpCode is left as it was. Throws DbError when the
// lookup fails.
int LoginCheck(const QString& code);

// Whether typed (trailing blanks removed) is the password of the live
// employee code; an employee without one logs in with an empty box. A
// password still stored in clear that matches is replaced by its hash in
// the same transaction. On a server the stored value never leaves it: the
// program proves the typed password against the hash's salt. Throws
// DbError.
bool loginPasswordMatches(const QString& code, const QString& typed);
