#include "export/csvwriter.h"

#include "core/ini.h"

#include <QRegularExpression>
#include <QStringEncoder>

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

} // namespace

CsvWriter::CsvWriter(CsvEncoding encoding) : m_encoding(encoding) {}

void CsvWriter::addRow(const QList<CsvField>& fields) {
    QStringList texts;
    for (const CsvField& f : fields)
        texts << fieldText(f);
    m_text += texts.join(QLatin1Char(',')) + QStringLiteral("\r\n");
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
    // Windows-31J is Shift-JIS as Windows writes it (～, ①, ㈱, NEC and IBM
    // kanji); plain Shift_JIS where the library lacks it.
    QStringEncoder cp932("Windows-31J");
    if (!cp932.isValid())
        cp932 = QStringEncoder("Shift_JIS");
    return cp932.encode(m_text);
}

CsvEncoding configuredCsvEncoding() {
    const QString name = IniRead(QStringLiteral("Export"), QStringLiteral("Encoding"))
                             .remove(QLatin1Char('_'))
                             .remove(QLatin1Char('-'))
                             .toUpper();
    if (name == QLatin1String("SHIFTJIS") || name == QLatin1String("SJIS") ||
        name == QLatin1String("CP932"))
        return CsvEncoding::ShiftJis;
    return CsvEncoding::Utf8Bom;
}
