#pragma once

#include <QString>

// What codes and figures are typed with, as an input method that is on, a
// scanner set to full-width or a paste delivers them: full-width ASCII
// (！ to ～) and the ideographic space become ASCII; hyphens, dashes and
// minus signs become "-", and so does a long-vowel mark (ー, ｰ) unless it
// follows kana, where it lengthens a sound. Every other character stays;
// each character stays one UTF-16 unit, so a cursor keeps its place.
QString toHalfWidth(const QString& text);
