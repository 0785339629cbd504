#pragma once

#include <QString>

#include <functional>

class QComboBox;
class QWidget;

// The code combo boxes of the entry screens: drawing numbers (cboPno),
// work codes (cboWNo) and home-workers (cboPerson, or one element
// cboPerson_<n> of a pair).
//
// Fill appends every live row to the combo box (fill once per opening of a
// screen); Find looks up the typed text and, when the code exists, replaces
// it with the full item line. Each fill sets the font "ＭＳ ゴシック" 12 so
// that the names align.
enum class LookupMode { Fill, Find };

// Found: a fill done, or the code found; NotFound: no live row for the
// typed code; Failed: a database error or no combo box, already reported
// in a message box. Callers keep the focus in the box on any result other
// than Found and show their own message for NotFound only. Take the code
// back with codeFromItem (masters/lookup.h).
enum class LookupResult { Found, NotFound, Failed };

LookupResult LookupPno(QComboBox* combo, LookupMode mode);
LookupResult LookupWorkCode(QComboBox* combo, LookupMode mode);
LookupResult LookupPerson(QComboBox* combo, LookupMode mode);

using CodeLookup = LookupResult (*)(QComboBox* combo, LookupMode mode);

// What leaving a code combo checks: `lookup` (one of the above) must find
// the typed code, or `notFound` is shown. An empty box is refused with
// "入力必須項目です。" when the field is required; a filter may stay empty.
std::function<bool()> codeComboCheck(QWidget* form, QComboBox* box, CodeLookup lookup,
                                     const QString& notFound, bool required = true);
