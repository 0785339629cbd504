#include "importer/importtext.h"

#include "core/apperror.h"
#include "core/ini.h"

#include <QList>
#include <QStringDecoder>
#include <optional>

namespace {

constexpr QChar kBad = QChar(0xFFFD);

// UTF-16 shows as a zero byte beside each ASCII character, always on the
// same side; a CSV file is full of commas, quotes and digits.
bool looksUtf16(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    const qsizetype pairs = std::min<qsizetype>(bytes.size(), 4096) / 2;
    qsizetype zeros[2] = {0, 0};
    for (qsizetype i = 0; i < pairs * 2; ++i)
        zeros[i % 2] += bytes.at(i) == 0;
    return pairs > 0 && std::max(zeros[0], zeros[1]) * 10 > pairs * 3 &&
           std::min(zeros[0], zeros[1]) * 10 < pairs;
}

// Text files hold no zero bytes and few control characters.
bool looksBinary(const QByteArray& bytes) {
    qsizetype controls = 0;
    for (const char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u == 0)
            return true;
        controls += u < 0x20 && u != '\t' && u != '\n' && u != '\r';
    }
    return controls * 100 > bytes.size();
}

bool isUtf8(const QByteArray& line) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(line); // converting runs the decoder
    return !utf8.hasError();
}

// The character that starts at `at`, by the encoding's structure alone:
// its length, and whether it is whole (else its bytes are undecodable
// without asking the decoder, which would keep them for the next call).
struct Unit {
    qsizetype length;
    bool whole;
};

Unit unitAt(const QByteArray& line, qsizetype at, bool utf8) {
    const auto byte = [&](qsizetype i) {
        return at + i < line.size() ? static_cast<unsigned char>(line.at(at + i)) : 0;
    };
    const unsigned char b = byte(0);
    if (b < 0x80)
        return {1, true};
    if (!utf8) {
        if (b >= 0xA1 && b <= 0xDF) // half-width katakana
            return {1, true};
        const unsigned char t = byte(1);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const bool trail = (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC);
        return lead && trail ? Unit{2, true} : Unit{1, false};
    }
    const qsizetype want = b >= 0xF5 ? 0 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
    qsizetype n = 1;
    while (n < want && byte(n) >= 0x80 && byte(n) <= 0xBF)
        ++n;
    return {n, n == want};
}

class LineDecoder {
  public:
    explicit LineDecoder(bool utf8) : m_utf8(utf8) {}

    // The line's text; its undecodable bytes as U+FFFD, the first of them in `bad`.
    QString decode(const QByteArray& line, QByteArray& bad) {
        bool failed = false;
        QString text = attempt(line, failed);
        if (!failed)
            return text;
        // Character by character, to know which bytes fail.
        text.clear();
        for (qsizetype at = 0; at < line.size();) {
            const Unit unit = unitAt(line, at, m_utf8);
            const QByteArray bytes = line.mid(at, unit.length);
            const QString c = unit.whole ? attempt(bytes, failed) : QString();
            if (c.isEmpty() || failed) {
                text += kBad;
                if (bad.isEmpty())
                    bad = bytes;
            } else {
                text += c;
            }
            at += unit.length;
        }
        return text;
    }

    bool reads(const QByteArray& line) {
        bool failed = false;
        (void)attempt(line, failed);
        return !failed;
    }

  private:
    // A decoder that once failed keeps saying so: a fresh one after each
    // failure (made in place; a moved ICU decoder loses its state).
    QString attempt(const QByteArray& bytes, bool& failed) {
        if (!m_decoder) {
            if (m_utf8)
                m_decoder.emplace(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            else
                m_decoder.emplace("Windows-31J", QStringDecoder::Flag::Stateless);
        }
        const QString text = m_decoder->decode(bytes);
        failed = m_decoder->hasError();
        if (failed)
            m_decoder.reset();
        return text;
    }

    std::optional<QStringDecoder> m_decoder;
    bool m_utf8;
};

} // namespace

QString ImportText::badPlace(int line) const {
    const QByteArray bad = badBytes.value(line);
    // U+FFFD written into the file itself marks damage done before.
    const QString what =
        bad.isEmpty() ? QStringLiteral("U+FFFD") : QString::fromLatin1(bad.toHex(' ').toUpper());
    return QStringLiteral("%1 の %2 行目に %3 として読めないバイト (%4) があります")
        .arg(file)
        .arg(line)
        .arg(encoding, what);
}

ImportText decodeImportText(const QByteArray& raw, const QString& file) {
    if (looksUtf16(raw))
        throw AppError(QStringLiteral("%1 は UTF-16 (Unicode) で保存されています。Shift-JIS か "
                                      "UTF-8 で書き出し直してください。")
                           .arg(file));
    QByteArray bytes = raw;
    while (bytes.endsWith('\x1A'))
        bytes.chop(1);
    if (looksBinary(bytes))
        throw AppError(QStringLiteral("%1 はテキストファイルではありません（Excel のブックや"
                                      "データベースのファイルではありませんか）。テーブルを"
                                      "テキスト（Shift-JIS か UTF-8 の CSV）で書き出してください。")
                           .arg(file));
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bom)
        bytes.remove(0, 3);
    const QList<QByteArray> lines = bytes.split('\n');
    // Short Shift-JIS texts may be valid UTF-8, even with kanji in them:
    // a file that is wholly valid UTF-8 is UTF-8 when it holds kana or
    // kanji; one that is not is the encoding that fails on fewer lines.
    int japaneseUtf8 = 0, notUtf8 = 0, notShiftJis = 0;
    if (!bom) {
        LineDecoder shiftJis(false);
        for (const QByteArray& line : lines) {
            if (!isUtf8(line))
                ++notUtf8;
            else if (hasKanaOrKanji(QString::fromUtf8(line)))
                ++japaneseUtf8;
            notShiftJis += !shiftJis.reads(line);
        }
    }
    const bool utf8 = bom || (notUtf8 == 0 ? japaneseUtf8 > 0 : notUtf8 < notShiftJis);
    ImportText out;
    out.file = file;
    out.encoding = utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift-JIS");
    LineDecoder decoder(utf8);
    QStringList texts;
    texts.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray bad;
        texts << decoder.decode(lines.at(i), bad);
        if (!bad.isEmpty())
            out.badBytes.insert(int(i) + 1, bad);
    }
    out.text = texts.join(QLatin1Char('\n'));
    return out;
}
