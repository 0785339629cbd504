#include "export/listtable.h"

#include "core/apperror.h"

#include <QRegularExpression>

namespace {

// A figure as the lists format them: optional sign, digits in groups of
// three or ungrouped, optional decimals.
bool isFigure(const QString& text) {
    static const QRegularExpression figure(
        QStringLiteral("^-?(\\d{1,3}(,\\d{3})+|\\d+)(\\.\\d+)?$"));
    return figure.match(text).hasMatch();
}

// The first 20 places, then how many more; a row counts from the first
// row under the headings.
QString placesText(const QList<UnmappedField>& unmapped, const QStringList& headings) {
    constexpr int kShown = 20;
    QStringList lines;
    for (const UnmappedField& u : unmapped.mid(0, kShown))
        lines << QStringLiteral("一覧の %1 行目「%2」: %3")
                     .arg(u.row)
                     .arg(headings.value(u.field), u.characters);
    if (unmapped.size() > kShown)
        lines << QStringLiteral("ほか %1 か所").arg(unmapped.size() - kShown);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

ListTable ListTable::of(const ListDefinition& list) {
    ListTable t;
    t.name = QString::fromUtf16(list.name);
    for (const ListColumn& c : list.columns) {
        t.headings << QString::fromUtf16(c.heading);
        t.shown << (c.widthTwips > 0 && c.exported);
        t.kinds << c.kind;
    }
    return t;
}

QList<QStringList> ListTable::filledRows() const {
    QList<QStringList> filled;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < headings.size(); ++c) {
            if (shown.value(c) && !row.value(c).isEmpty()) {
                filled << row;
                break;
            }
        }
    }
    return filled;
}

ListFile listCsv(const ListTable& table, const CsvSettings& settings) {
    CsvWriter csv(settings.encoding, settings.unmappable);
    QStringList headings;
    for (qsizetype c = 0; c < table.headings.size(); ++c)
        if (table.shown.value(c))
            headings << table.headings.at(c);
    csv.addTextRow(headings);
    for (const QStringList& row : table.filledRows()) {
        QList<CsvField> fields;
        for (qsizetype c = 0; c < table.headings.size(); ++c) {
            if (!table.shown.value(c))
                continue;
            const QString text = row.value(c);
            if (isFigure(text))
                fields.append({QString(text).remove(QLatin1Char(',')), true});
            else
                fields.append({text, false});
        }
        csv.addRow(fields);
    }
    if (csv.unmapped().isEmpty())
        return {csv.bytes(), {}};
    const QString places = placesText(csv.unmapped(), headings);
    if (settings.unmappable.isEmpty())
        throw AppError(
            QStringLiteral(
                "Shift-JIS で書けない文字が %1 か所にあるため、出力しませんでした。\n%2\n"
                "Excel 形式で出力するか、TVL.INI の [Export] Encoding を外して UTF-8 で"
                "出力してください（[Export] Unmappable=〓 とすると、これらの文字を 〓 に"
                "置き換えて出力します）。")
                .arg(csv.unmapped().size())
                .arg(places));
    return {csv.bytes(),
            QStringLiteral("Shift-JIS で書けない文字を %1 に置き換えました（%2 か所）。\n%3")
                .arg(settings.unmappable)
                .arg(csv.unmapped().size())
                .arg(places)};
}

ListFormat listFormatOf(const QString& path, ListFormat otherwise) {
    if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return ListFormat::Excel;
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return ListFormat::Csv;
    return otherwise;
}
