#include "core/bytetext.h"

int byteWidth(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return 1;
    if (u >= 0xFF61 && u <= 0xFF9F) // half-width katakana
        return 1;
    if (c.isLowSurrogate()) // the pair's high half already counted 2
        return 0;
    return 2;
}

int LenByte(const QString& text) {
    int n = 0;
    for (QChar c : text)
        n += byteWidth(c);
    return n;
}

QString leftBytes(const QString& text, int bytes) {
    int used = 0;
    int i = 0;
    for (; i < text.size(); ++i) {
        int w = byteWidth(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            w = 2;
        if (used + w > bytes)
            break;
        used += w;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            ++i;
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
