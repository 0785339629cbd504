#include "importer/csvreader.h"

#include "core/apperror.h"

namespace {

QChar separatorOf(const QString& text) {
    const QString firstLine = text.left(text.indexOf(QLatin1Char('\n')));
    if (firstLine.contains(QLatin1Char('\t')) && !firstLine.contains(QLatin1Char(',')))
        return QLatin1Char('\t');
    return QLatin1Char(',');
}

} // namespace

CsvReader::CsvReader(const QString& text) : m_text(text), m_sep(separatorOf(text)) {
    int line = 0;
    next(m_header, line);
}

bool CsvReader::next(QStringList& row, int& rowLineOut) {
    const QString& text = m_text;
    const QChar sep = m_sep;
    const QChar quote = QLatin1Char('"');
    const QChar cr = QLatin1Char('\r');
    const QChar lf = QLatin1Char('\n');
    const qsizetype n = text.size();
    qsizetype i = m_pos;
    int line = m_line;
    // Fields are taken as slices of the text; only a quoted field with
    // doubled quotes inside is put together piece by piece.
    while (i < n) {
        const int rowLine = line;
        row.clear();
        for (;;) {
            QString field;
            if (i < n && text.at(i) == quote) {
                ++i;
                for (;;) {
                    const qsizetype close = text.indexOf(quote, i);
                    if (close < 0)
                        throw AppError(
                            QStringLiteral("%1 行目から始まる引用符 (\") が閉じられていません。"
                                           "ファイルが途中で切れていないか確かめてください。")
                                .arg(rowLine));
                    const QStringView piece = QStringView(text).mid(i, close - i);
                    line += int(piece.count(lf));
                    field += piece;
                    i = close + 1;
                    if (i < n && text.at(i) == quote) {
                        field += quote;
                        ++i;
                    } else {
                        break;
                    }
                }
                if (field.isNull())
                    field = QStringLiteral(""); // "" is an empty text, not Null
                // Anything between the closing quote and the separator is kept.
                qsizetype end = i;
                while (end < n && text.at(end) != sep && text.at(end) != lf && text.at(end) != cr)
                    ++end;
                field += QStringView(text).mid(i, end - i);
                i = end;
            } else {
                qsizetype end = i;
                while (end < n && text.at(end) != sep && text.at(end) != lf && text.at(end) != cr)
                    ++end;
                if (end > i)
                    field = text.mid(i, end - i); // an empty field stays Null
                i = end;
            }
            row << field;
            if (i < n && text.at(i) == sep) {
                ++i;
                continue;
            }
            break;
        }
        // The end of the line: \r\n, \n or the end of the text.
        while (i < n && text.at(i) == cr)
            ++i;
        if (i < n && text.at(i) == lf) {
            ++i;
            ++line;
        }
        if (row.size() == 1 && row.first().isNull())
            continue; // a blank line
        m_pos = i;
        m_line = line;
        rowLineOut = rowLine;
        return true;
    }
    m_pos = i;
    m_line = line;
    row.clear();
    return false;
}

CsvTable readCsv(const QString& text) {
    CsvReader reader(text);
    CsvTable table;
    table.header = reader.header();
    QStringList row;
    int line = 0;
    while (reader.next(row, line)) {
        table.rows << row;
        table.lines << line;
    }
    return table;
}
