#include "core/bytetext.h"

#include <algorithm>

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

void appendFixByteWidth(QString& out, const QString& text, int width) {
    // Walked unit by unit: combo lists pad tens of thousands of codes and
    // names, and most of their characters are not surrogates.
    const QChar* units = text.constData();
    const qsizetype size = text.size();
    int used = 0;
    qsizetype i = 0;
    while (i < size) {
        const char16_t u = units[i].unicode();
        qsizetype step = 1;
        int w = 0;
        if (!QChar::isSurrogate(u))
            w = byteWidth(u);
        else {
            step = unitsAt(text, i);
            w = byteWidth(characterAt(text, i));
        }
        if (used + w > width)
            break;
        used += w;
        i += step;
    }
    const qsizetype start = out.size();
    out.resize(start + i + (width - used));
    QChar* to = out.data() + start;
    std::copy(units, units + i, to);
    std::fill(to + i, to + i + (width - used), QLatin1Char(' '));
}

QString FixByteWidth(const QString& text, int width) {
    if (width < 1)
        return QString();
    QString out;
    out.reserve(qMin<qsizetype>(text.size(), width) + width);
    appendFixByteWidth(out, text, width);
    return out;
}

QString rtrim(const QString& text) {
    int end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return end == text.size() ? text : text.left(end);
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
