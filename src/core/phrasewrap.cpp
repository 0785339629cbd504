#include "core/phrasewrap.h"

#include "core/bytetext.h"

#include <QStringList>

namespace {

bool endsPhrase(QChar c) {
    return c == QChar(u'。') || c == QChar(u'、');
}

// An aside in brackets goes to the next line whole rather than leaving its
// last few characters alone there.
bool startsAside(QChar c) {
    return c == QChar(u'（');
}

// Index of the last break of line (just after a phrase end, or just before
// an aside) that keeps the head within maxBytes, 0 when there is none.
qsizetype lastBreak(const QString& line, int maxBytes) {
    qsizetype best = 0;
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        const qsizetype at = endsPhrase(line[i]) ? i + 1 : (startsAside(line[i]) ? i : 0);
        if (at == 0)
            continue;
        if (LenByte(line.left(at)) > maxBytes)
            break;
        best = at;
    }
    return best;
}

} // namespace

QString wrapAtPhrases(const QString& text, int maxBytes) {
    QStringList out;
    for (QString line : text.split(QLatin1Char('\n'))) {
        while (LenByte(line) > maxBytes) {
            const qsizetype at = lastBreak(line, maxBytes);
            if (at == 0)
                break;
            out << line.left(at);
            line = line.mid(at);
        }
        out << line;
    }
    return out.join(QLatin1Char('\n'));
}
