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

CsvTable readCsv(const QString& text) {
    const QChar sep = separatorOf(text);
    const QChar quote = QLatin1Char('"');
    CsvTable table;
    QStringList row;
    QString field;
    bool quoted = false;   // this field began with a quote
    bool inQuotes = false; // inside the quotes now
    bool rowHasData = false;
    int line = 1;
    int rowLine = 1;

    auto endField = [&] {
        // An unquoted empty field is Null; a quoted one is an empty text.
        row << (quoted ? (field.isNull() ? QStringLiteral("") : field)
                       : (field.isEmpty() ? QString() : field));
        field = QString();
        quoted = false;
    };
    auto endRow = [&] {
        endField();
        if (table.header.isEmpty()) {
            table.header = row;
        } else {
            table.rows << row;
            table.lines << rowLine;
        }
        row.clear();
        rowHasData = false;
    };

    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == quote) {
                if (i + 1 < n && text.at(i + 1) == quote) {
                    field += quote;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == quote && field.isEmpty() && !quoted) {
            if (!rowHasData)
                rowLine = line;
            quoted = inQuotes = rowHasData = true;
        } else if (c == sep) {
            if (!rowHasData)
                rowLine = line;
            rowHasData = true;
            endField();
        } else if (c == QLatin1Char('\r')) {
            continue;
        } else if (c == QLatin1Char('\n')) {
            if (rowHasData)
                endRow();
            ++line;
        } else {
            if (!rowHasData)
                rowLine = line;
            rowHasData = true;
            field += c;
        }
    }
    if (inQuotes)
        throw AppError(QStringLiteral("%1 行目から始まる引用符 (\") が閉じられていません。"
                                      "ファイルが途中で切れていないか確かめてください。")
                           .arg(rowLine));
    if (rowHasData)
        endRow();
    return table;
}
