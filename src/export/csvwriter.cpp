#include "export/csvwriter.h"

#include "core/ini.h"

#include <QRegularExpression>
#include <QStringEncoder>
#include <optional>

namespace {

bool isPlainNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
    return number.match(text).hasMatch();
}

QString fieldText(const CsvField& f) {
    if (f.number && isPlainNumber(f.text))
        return f.text;
    QString text = f.text;
    bool quote = false;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front())) {
        text.prepend(QLatin1Char('\''));
        quote = true;
    }
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
        quote = true;
    if (!quote)
        return text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Windows-31J is Shift-JIS as Windows writes it (～, ①, ㈱, NEC and IBM
// kanji); plain Shift_JIS where the library lacks it. Encoders are made in
// place: a moved one no longer reports failures.
const char* shiftJisName() {
    static const char* const name =
        QStringEncoder("Windows-31J").isValid() ? "Windows-31J" : "Shift_JIS";
    return name;
}

} // namespace

bool fitsShiftJis(const QString& text) {
    // Opening a converter costs more than most fields; one serves them all
    // until it fails, after which it keeps saying so.
    thread_local std::optional<QStringEncoder> cp932;
    if (!cp932)
        cp932.emplace(shiftJisName(), QStringConverter::Flag::Stateless);
    const QByteArray bytes = cp932->encode(text); // converting runs the encoder
    if (!cp932->hasError())
        return true;
    cp932.reset();
    return false;
}

CsvWriter::CsvWriter(CsvEncoding encoding, const QString& replacement)
    : m_encoding(encoding), m_replacement(replacement) {}

QString CsvWriter::mapped(const QString& text, int field) {
    if (m_encoding != CsvEncoding::ShiftJis || fitsShiftJis(text))
        return text;
    QString out, lacking;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, n);
        i += n;
        if (fitsShiftJis(c)) {
            out += c;
            continue;
        }
        if (!lacking.contains(c))
            lacking += c;
        out += m_replacement.isEmpty() ? c : m_replacement;
    }
    m_unmapped.append({m_rows, field, lacking});
    return out;
}

void CsvWriter::addRow(const QList<CsvField>& fields) {
    QStringList texts;
    for (const CsvField& f : fields)
        texts << fieldText({mapped(f.text, int(texts.size())), f.number});
    m_text += texts.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    ++m_rows;
}

void CsvWriter::addTextRow(const QStringList& texts) {
    QList<CsvField> fields;
    for (const QString& t : texts)
        fields.append({t, false});
    addRow(fields);
}

QByteArray CsvWriter::bytes() const {
    if (m_encoding == CsvEncoding::Utf8Bom)
        return QByteArrayLiteral("\xEF\xBB\xBF") + m_text.toUtf8();
    QStringEncoder cp932(shiftJisName());
    return cp932.encode(m_text);
}

CsvSettings configuredCsvSettings() {
    CsvSettings s;
    const QString name = IniRead(QStringLiteral("Export"), QStringLiteral("Encoding"))
                             .remove(QLatin1Char('_'))
                             .remove(QLatin1Char('-'))
                             .toUpper();
    if (name == QLatin1String("SHIFTJIS") || name == QLatin1String("SJIS") ||
        name == QLatin1String("CP932"))
        s.encoding = CsvEncoding::ShiftJis;
    // A replacement that Shift-JIS cannot hold itself would be damage again.
    const QString mark = IniRead(QStringLiteral("Export"), QStringLiteral("Unmappable"));
    if (fitsShiftJis(mark))
        s.unmappable = mark;
    return s;
}
