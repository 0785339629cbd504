#include "masters/lookup.h"

#include "core/bytetext.h"
#include "core/sqlquery.h"

namespace {
const QChar kSeparator(0x3000); // full-width space between code and name

QString selectText(const Lookup::Source& s, bool byKey) {
    QString sql = QStringLiteral("SELECT %1, %2 FROM %3 WHERE (COALESCE(削除フラグ, 0) <> 1)")
                      .arg(s.codeColumn, s.nameColumn, s.table);
    if (byKey)
        sql += QStringLiteral(" AND %1 = ?").arg(s.codeColumn);
    sql += QStringLiteral(" ORDER BY %1").arg(s.codeColumn);
    return sql;
}

QString rowItem(const Lookup::Source& s, const SqlQuery& q) {
    return Lookup::itemText(s, rtrim(FieldStr(q, s.codeColumn)), rtrim(FieldStr(q, s.nameColumn)));
}
} // namespace

namespace Lookup {

const Source& drawingNumbers() {
    static const Source s{QStringLiteral("zuban_m"), QStringLiteral("製品図番"),
                          QStringLiteral("図番名称"), 20, 40};
    return s;
}

const Source& workCodes() {
    static const Source s{QStringLiteral("sagyou_m"), QStringLiteral("作業コード"),
                          QStringLiteral("作業項目"), 20, 40};
    return s;
}

const Source& homeWorkers() {
    static const Source s{QStringLiteral("naishoku_m"), QStringLiteral("内職者コード"),
                          QStringLiteral("内職者氏名"), 10, 20};
    return s;
}

QString itemText(const Source& source, const QString& code, const QString& name) {
    QString item;
    item.reserve(source.codeWidth + 1 + source.nameWidth);
    appendFixByteWidth(item, code, source.codeWidth);
    item.append(kSeparator);
    appendFixByteWidth(item, name, source.nameWidth);
    return item;
}

QStringList items(const Source& source) {
    SqlQuery q(selectText(source, false));
    q.exec();
    QStringList result;
    while (q.next())
        result << rowItem(source, q);
    return result;
}

std::optional<QString> find(const Source& source, const QString& typedText) {
    SqlQuery q(selectText(source, true));
    q.bind(key(source, typedText)).exec();
    if (!q.next())
        return std::nullopt;
    return rowItem(source, q);
}

QString key(const Source& source, const QString& typedText) {
    return rtrim(codeFromItem(typedText).left(source.codeWidth));
}

} // namespace Lookup

QString codeFromItem(const QString& text) {
    const qsizetype separator = text.indexOf(kSeparator);
    return rtrim(separator < 0 ? text : text.left(separator));
}
