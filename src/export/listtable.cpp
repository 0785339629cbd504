#include "export/listtable.h"

#include "core/listcolumns.h"

#include <QRegularExpression>

namespace {

// A figure as the lists format them: optional sign, digits in groups of
// three or ungrouped, optional decimals.
bool isFigure(const QString& text) {
    static const QRegularExpression figure(
        QStringLiteral("^-?(\\d{1,3}(,\\d{3})+|\\d+)(\\.\\d+)?$"));
    return figure.match(text).hasMatch();
}

} // namespace

ListTable ListTable::ofKind(int kind) {
    ListTable t;
    for (const ListColumn& c : listColumns(kind)) {
        t.headings << QString::fromUtf16(c.heading);
        t.shown << (c.widthTwips > 0 && c.exported);
    }
    return t;
}

bool exportedColumn(int kind, int c) {
    const std::vector<ListColumn>& columns = listColumns(kind);
    return c >= int(columns.size()) || columns[size_t(c)].exported;
}

QByteArray listCsv(const ListTable& table, CsvEncoding encoding) {
    CsvWriter csv(encoding);
    QStringList headings;
    for (qsizetype c = 0; c < table.headings.size(); ++c)
        if (table.shown.value(c))
            headings << table.headings.at(c);
    csv.addTextRow(headings);
    for (const QStringList& row : table.rows) {
        QList<CsvField> fields;
        bool anything = false;
        for (qsizetype c = 0; c < table.headings.size(); ++c) {
            if (!table.shown.value(c))
                continue;
            const QString text = row.value(c);
            anything = anything || !text.isEmpty();
            if (isFigure(text))
                fields.append({QString(text).remove(QLatin1Char(',')), true});
            else
                fields.append({text, false});
        }
        if (anything)
            csv.addRow(fields);
    }
    return csv.bytes();
}

QString listExportName(int kind) {
    static const QStringList names = {
        QStringLiteral("製品図番一覧"), QStringLiteral("作業コード一覧"),
        QStringLiteral("社員一覧"),     QStringLiteral("内職者一覧"),
        QStringLiteral("作業単価一覧"), QStringLiteral("伝票一覧"),
        QStringLiteral("精算一覧"),     QStringLiteral("試算結果")};
    return names.value(kind - 1);
}
