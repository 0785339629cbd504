#pragma once

#include <QString>

// Text widths in bytes of the Japanese ANSI code page (Shift-JIS): a
// half-width character counts 1, a full-width character 2. Widths are taken
// per character (code point): a surrogate pair is one character. A character
// that Shift-JIS cannot encode counts 2, as it would once replaced; so does
// a lone surrogate, so that no cut by width can run past its limit.
int byteWidth(char32_t character);
int LenByte(const QString& text);

// Pads with half-width spaces or cuts to exactly `width` bytes. A full-width
// character that would need the last byte alone becomes one space.
QString FixByteWidth(const QString& text, int width);
// The same, appended to out without a text of its own in between.
void appendFixByteWidth(QString& out, const QString& text, int width);

// The longest leading part of text that fits into `bytes` bytes; never cuts
// a surrogate pair in two.
QString leftBytes(const QString& text, int bytes);

// Text with its trailing blanks (half-width spaces) removed.
QString rtrim(const QString& text);

// Whether text holds half of a surrogate pair without its other half, which
// no encoding can store.
bool hasLoneSurrogate(const QString& text);
// Text without its lone surrogates; whole pairs are kept.
QString withoutLoneSurrogates(const QString& text);
