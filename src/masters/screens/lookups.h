#pragma once

#include <QString>

#include <functional>

class QComboBox;
class QWidget;

// The code combo boxes of the entry screens, reached through the form by
// name: cboPno (drawing numbers), cboWNo (work codes), cboPerson or the
// array elements cboPerson_0, cboPerson_1, ... (home-workers).
//
// Modes: 1 fill the combo box with every live row (items are appended, so
// fill once per opening of a screen); 2 look up the typed text and, when
// the code exists, replace it with the full item line. LookupPerson also
// has 3 (fill element cboPerson_<index>) and 4 (look up that element).
// Each fill sets the font "ＭＳ ゴシック" 12 so that the names align.
//
// Results: LookupFound (a fill done, or the code found), LookupNotFound
// (no live row for the typed code) and LookupFailed (a database error or a
// missing combo box, already reported in a message box). Callers keep the
// focus in the box on any result other than LookupFound and show their own
// message for LookupNotFound only. Take the code back with codeFromItem
// (masters/lookup.h).
enum LookupResult : int { LookupFound = 0, LookupNotFound = 1, LookupFailed = 2 };

int LookupPno(QWidget* form, int mode);
int LookupWorkCode(QWidget* form, int mode);
int LookupPerson(QWidget* form, int mode, int index = 0);

// What leaving a code combo checks: `lookup` (one of the above in mode 2)
// must find the typed code, or `notFound` is shown. An empty box is refused
// with "入力必須項目です。" when the field is required; a filter may stay empty.
std::function<bool()> codeComboCheck(QWidget* form, QComboBox* box, std::function<int()> lookup,
                                     const QString& notFound, bool required = true);
