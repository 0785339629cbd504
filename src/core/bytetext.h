#pragma once

#include <QString>

// Text widths in bytes of the Japanese ANSI code page (Shift-JIS): a
// half-width character counts 1, a full-width character 2. A character that
// Shift-JIS cannot encode counts 2, as it would once replaced.
int byteWidth(QChar c);
int LenByte(const QString& text);

// Pads with half-width spaces or cuts to exactly `width` bytes. A full-width
// character that would need the last byte alone becomes one space.
QString FixByteWidth(const QString& text, int width);

// The longest leading part of text that fits into `bytes` bytes.
QString leftBytes(const QString& text, int bytes);

// Text with its trailing blanks (half-width spaces) removed.
QString rtrim(const QString& text);
