#include "core/phrasewrap.h"

#include "core/bytetext.h"

#include <QStringList>

namespace {

bool endsPhrase(QChar c) {
    return c == QChar(u'。') || c == QChar(u'、');
}

// Index just after the last phrase end of line that keeps the head within
// maxBytes, 0 when there is none.
qsizetype lastBreak(const QString& line, int maxBytes) {
    qsizetype best = 0;
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (!endsPhrase(line[i]))
            continue;
        if (LenByte(line.left(i + 1)) > maxBytes)
            break;
        best = i + 1;
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
