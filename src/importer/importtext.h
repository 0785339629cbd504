#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The text of one exported table file, in Shift-JIS (Windows-31J) or UTF-8.
// Bytes that are no character of the file's encoding become U+FFFD in the
// text, and are kept by line, so that the rows holding them are refused
// with their place instead of storing damaged text.
struct ImportText {
    QString file;     // the name the clerk knows the file by
    QString encoding; // "UTF-8" or "Shift-JIS"
    QString text;
    QMap<int, QByteArray> badBytes; // line (1 = first) → its first undecodable bytes

    // "seihin_t.csv の 4 行目に文字として読めないバイト (81 20) があります"
    QString badPlace(int line) const;
};

// UTF-8 with a byte order mark; else UTF-8 when its valid lines with kana
// or kanji outnumber the lines it cannot read; else Shift-JIS. A trailing
// end-of-file mark (0x1A) is dropped. Throws AppError naming the file when
// it is UTF-16 or not text at all.
ImportText decodeImportText(const QByteArray& bytes, const QString& file);
