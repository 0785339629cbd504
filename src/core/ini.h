#pragma once

#include <QString>

// Reads one value of TVL.INI in the current directory, the way the Windows
// profile reader does: names are case-insensitive, blanks around names and
// values are ignored, the first matching key wins, and anything missing
// reads as "". Values are cut to what fits 255 bytes. The file is read as
// UTF-8 when it starts with a UTF-8 byte order mark, or when it is valid
// UTF-8 and holds kana or kanji; otherwise as Shift-JIS. Nothing ever
// writes it.
QString IniRead(const QString& section, const QString& key);
QString iniReadFile(const QString& path, const QString& section, const QString& key);

// Where IniRead looks: TVL.INI in the current directory, as an absolute path.
QString iniFilePath();

// Text of a file written on a Japanese Windows PC: UTF-8 when it starts with
// a UTF-8 byte order mark, or when it is valid UTF-8 and holds kana or kanji;
// otherwise Shift-JIS. Plain ASCII reads the same either way.
QString decodeJapaneseText(const QByteArray& bytes);

// Whether the text holds kana or kanji: what tells UTF-8 written in Japan
// from Shift-JIS bytes that happen to be valid UTF-8 as well.
bool hasKanaOrKanji(const QString& text);
