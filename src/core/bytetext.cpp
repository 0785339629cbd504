#include "core/bytetext.h"

namespace {

// Length in UTF-16 units of the character starting at i: 2 for a whole
// surrogate pair, 1 otherwise (a lone surrogate included).
qsizetype unitsAt(const QString& text, qsizetype i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return 2;
    return 1;
}

char32_t characterAt(const QString& text, qsizetype i) {
    if (unitsAt(text, i) == 2)
        return QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
    return text.at(i).unicode();
}

bool isLoneAt(const QString& text, qsizetype i) {
    return text.at(i).isSurrogate() && unitsAt(text, i) == 1;
}

} // namespace

int byteWidth(char32_t character) {
    if (character < 0x80)
        return 1;
    if (character >= 0xFF61 && character <= 0xFF9F) // half-width katakana
        return 1;
    return 2;
}

int LenByte(const QString& text) {
    int n = 0;
    for (qsizetype i = 0; i < text.size(); i += unitsAt(text, i))
        n += byteWidth(characterAt(text, i));
    return n;
}

QString leftBytes(const QString& text, int bytes) {
    int used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const int w = byteWidth(characterAt(text, i));
        if (used + w > bytes)
            break;
        used += w;
        i += unitsAt(text, i);
    }
    return text.left(i);
}

QString FixByteWidth(const QString& text, int width) {
    if (width < 1)
        return QString();
    const int len = LenByte(text);
    if (len == width)
        return text;
    if (len < width)
        return text + QString(width - len, QLatin1Char(' '));
    QString cut = leftBytes(text, width);
    const int cutLen = LenByte(cut);
    if (cutLen < width)
        cut += QString(width - cutLen, QLatin1Char(' '));
    return cut;
}

QString rtrim(const QString& text) {
    int end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

bool hasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); i += unitsAt(text, i)) {
        if (isLoneAt(text, i))
            return true;
    }
    return false;
}

QString withoutLoneSurrogates(const QString& text) {
    if (!hasLoneSurrogate(text))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); i += unitsAt(text, i)) {
        if (!isLoneAt(text, i))
            result += text.mid(i, unitsAt(text, i));
    }
    return result;
}
