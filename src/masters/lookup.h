#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The code lists behind the code combo boxes of the entry screens: every
// live row of a master as one aligned line "code　name", the code padded to
// a fixed byte width, a full-width space, the name padded or cut to its
// byte width. Only rows not marked deleted are offered or found.
namespace Lookup {

struct Source {
    QString table;
    QString codeColumn;
    QString nameColumn;
    int codeWidth; // bytes of the code part; also the characters of typed text used as key
    int nameWidth; // bytes of the name part
};

const Source& drawingNumbers(); // zuban_m: 20 + 40 bytes
const Source& workCodes();      // sagyou_m: 20 + 40 bytes
const Source& homeWorkers();    // naishoku_m: 10 + 20 bytes

// The item line of one row.
QString itemText(const Source& source, const QString& code, const QString& name);

// Every live row's item, in code order. Throws DbError.
QStringList items(const Source& source);

// The item of the live row whose code is the key of typedText (see key());
// nothing when there is none. Throws DbError.
std::optional<QString> find(const Source& source, const QString& typedText);

// The code a combo text stands for: codeFromItem, cut to the source's code
// width in characters (a longer typed text is looked up by its start).
QString key(const Source& source, const QString& typedText);

} // namespace Lookup

// The code of an item line or of a typed code: the text before the first
// full-width space, trailing blanks removed. Works for codes that contain
// full-width characters too, where a cut by character count would not.
QString codeFromItem(const QString& text);
