#pragma once

#include <QString>

// Reads one value of TVL.INI in the current directory, the way the Windows
// profile reader does: names are case-insensitive, blanks around names and
// values are ignored, the first matching key wins, and anything missing
// reads as "". Values are cut to what fits 255 bytes. The file is read as
// UTF-8, or as Shift-JIS when it is not valid UTF-8. Nothing ever writes it.
QString IniRead(const QString& section, const QString& key);
QString IniReadFile(const QString& path, const QString& section, const QString& key);
