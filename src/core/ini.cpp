#include "core/ini.h"

#include "core/bytetext.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace {

bool isKanaOrKanji(char32_t c) {
    return (c >= 0x3040 && c <= 0x30FF) || // hiragana, katakana
           (c >= 0x31F0 && c <= 0x31FF) || // small katakana
           (c >= 0xFF66 && c <= 0xFF9F) || // half-width katakana
           c == 0x3005 ||                  // 々
           (c >= 0x3400 && c <= 0x4DBF) || // kanji, extension A
           (c >= 0x4E00 && c <= 0x9FFF) || // kanji
           (c >= 0xF900 && c <= 0xFAFF) || // compatibility kanji
           (c >= 0x20000 && c <= 0x3FFFF); // kanji, extensions B and on
}

bool isAscii(const QByteArray& bytes) {
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

// Stops at the first kana: an exported table is megabytes long.
bool hasKanaOrKanji(const QString& text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate())
            u = QChar::surrogateToUcs4(c, text.at(++i));
        if (isKanaOrKanji(u))
            return true;
    }
    return false;
}

// Short Shift-JIS texts are often valid UTF-8 too (ﾐｷ, D0 B7, reads as a
// Cyrillic letter), so validity alone does not decide.
QString decodeJapaneseText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError() && hasKanaOrKanji(text))
        return text;
    QStringDecoder sjis("Shift_JIS");
    if (sjis.isValid())
        return sjis.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QString IniRead(const QString& section, const QString& key) {
    return iniReadFile(QStringLiteral("TVL.INI"), section, key);
}

QString iniFilePath() {
    return QDir::current().absoluteFilePath(QStringLiteral("TVL.INI"));
}

QString iniReadFile(const QString& path, const QString& section, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString text = decodeJapaneseText(file.readAll());

    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool inSection = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(wantedSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(wantedKey, Qt::CaseInsensitive) != 0)
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 &&
            ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
             (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')))))
            value = value.mid(1, value.size() - 2);
        return leftBytes(value, 255);
    }
    return QString();
}
