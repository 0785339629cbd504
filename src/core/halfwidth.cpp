#include "core/halfwidth.h"

namespace {

bool isKana(char16_t c) {
    return (c >= 0x3041 && c <= 0x309F) || (c >= 0x30A1 && c <= 0x30FA) ||
           (c >= 0xFF66 && c <= 0xFF9F && c != 0xFF70);
}

bool isHyphenOrMinus(char16_t c) {
    return (c >= 0x2010 && c <= 0x2015) || c == 0x2212 || c == 0xFE63;
}

} // namespace

QString toHalfWidth(const QString& text) {
    QString out = text;
    char16_t before = 0;
    for (QChar& q : out) {
        const char16_t c = q.unicode();
        if (c >= 0xFF01 && c <= 0xFF5E)
            q = QChar(c - 0xFEE0);
        else if (c == 0x3000)
            q = QLatin1Char(' ');
        else if (isHyphenOrMinus(c) || ((c == 0x30FC || c == 0xFF70) && !isKana(before)))
            q = QLatin1Char('-');
        // A run of long-vowel marks after kana keeps lengthening it.
        if (!(isKana(before) && (c == 0x30FC || c == 0xFF70)))
            before = c;
    }
    return out;
}
