#pragma once

#include <QByteArray>
#include <QString>

// Names as banks hold them: half-width katakana, A-Z, 0-9, space and
// ( ) . - / (JIS X 0201, one byte each; a voiced kana is two).
namespace BankKana {

// The name in those characters: hiragana and full-width katakana become
// half-width, small kana large (ｯ → ﾂ), the long-vowel mark "-",
// full-width letters, digits and symbols their ASCII forms, lower case
// upper; ㈱ and ㈲ become ｶ) / ﾕ) before a name and (ｶ / (ﾕ after it.
// Throws AppError naming the first character that has no such form.
QString fromTyped(const QString& typed);

// Whether every character of text is one the banks accept.
bool isAccepted(const QString& text);

// The single bytes of accepted text; any other character becomes '?'.
QByteArray toJisBytes(const QString& text);

} // namespace BankKana
