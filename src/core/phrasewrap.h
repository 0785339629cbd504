#pragma once

#include <QString>

// Breaks every line of a message longer than maxBytes (LenByte) after the
// last "。" or "、", or before the last "（", that keeps it within, so that
// a window's own wrapping, which may break between any two kanji, never
// leaves 「さい。」 alone on a line. A line without such a place is left to
// the window.
QString wrapAtPhrases(const QString& text, int maxBytes);
