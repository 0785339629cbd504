#include "importer/importcheck.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/ini.h"
#include "importer/csvreader.h"
#include "importer/importvalues.h"

#include <QHash>
#include <QSet>

namespace {

using OldTables::Table;

QString shown(const QString& raw) {
    return raw.isNull() ? QStringLiteral("(Null)") : raw;
}

// Where each table column sits in the exported header. A column the old
// table has no place for would be lost, so it stops the import as well.
QList<int> columnPositions(const Table& table, const QStringList& header) {
    QStringList names;
    for (const QString& h : header)
        names << h.trimmed();
    QList<int> positions;
    for (const OldTables::Column& c : table.columns) {
        const int at = int(names.indexOf(c.name));
        if (at < 0)
            throw AppError(QStringLiteral("%1 の書き出しに列 %2 がありません。テーブルを"
                                          "すべての列とフィールド名付きで書き出してください。")
                               .arg(table.name, c.name));
        positions << at;
    }
    for (const QString& n : names)
        if (table.indexOf(n) < 0)
            throw AppError(QStringLiteral("%1 の列 %2 はこのプログラムに取り込み先がありません。"
                                          "元のテーブルの列を確かめてください。")
                               .arg(table.name, n));
    return positions;
}

class Checker {
  public:
    explicit Checker(ImportData& data) : m_data(data) {}

    void add(const Table& table, const CsvTable& csv) {
        const QList<int> at = columnPositions(table, csv.header);
        ConvertedTable out;
        out.table = &table;
        QSet<QString>& keys = m_keys[table.name];
        QHash<QString, int> keyLines;
        for (int r = 0; r < csv.rows.size(); ++r) {
            const QStringList& fields = csv.rows.at(r);
            const int line = csv.lines.at(r);
            const QString key = keyText(table, at, fields, line);
            bool ok = true;
            auto refuse = [&](const QString& column, const QString& value, const QString& why) {
                m_data.refusals << Refusal{table.name, key, column, value, why};
                ok = false;
            };
            QVariantList values;
            if (fields.size() != csv.header.size()) {
                refuse({}, {},
                       QStringLiteral("%1 行目の列の数が見出しと違います (%2 列、見出しは %3 列)")
                           .arg(line)
                           .arg(fields.size())
                           .arg(csv.header.size()));
                for (int c = 0; c < table.columns.size(); ++c)
                    values << QVariant();
            } else {
                for (int c = 0; c < table.columns.size(); ++c) {
                    const QString& raw = fields.at(at.at(c));
                    const ImportValue::Result v =
                        ImportValue::convert(table.columns.at(c).kind, raw);
                    if (!v.problem.isEmpty())
                        refuse(table.columns.at(c).name, shown(raw), v.problem);
                    values << v.value;
                }
                // A key that did not convert is reported once, as its value.
                if (ok)
                    ok = checkKey(table, values, line, keyLines, refuse);
                for (const OldTables::Reference& ref : table.references) {
                    const QString code = values.at(table.indexOf(ref.column)).toString();
                    if (!m_keys.value(ref.master).contains(code))
                        refuse(ref.column, code,
                               QStringLiteral("%1 にない%2です").arg(ref.master, ref.column));
                }
            }
            if (ok)
                keys.insert(storedKey(table, values));
            out.rows << values;
            out.accepted << ok;
        }
        m_data.tables << out;
    }

  private:
    static QString keyText(const Table& table, const QList<int>& at, const QStringList& fields,
                           int line) {
        QStringList parts;
        for (const QString& k : table.key) {
            const int pos = at.at(table.indexOf(k));
            if (pos < fields.size() && !fields.at(pos).trimmed().isEmpty())
                parts << rtrim(fields.at(pos));
        }
        return parts.size() == table.key.size() ? parts.join(QStringLiteral(" / "))
                                                : QStringLiteral("(%1 行目)").arg(line);
    }

    static QString storedKey(const Table& table, const QVariantList& values) {
        QStringList parts;
        for (const QString& k : table.key)
            parts << values.at(table.indexOf(k)).toString();
        return parts.join(QChar(0x1F)); // a separator no code holds
    }

    template <typename Refuse>
    static bool checkKey(const Table& table, const QVariantList& values, int line,
                         QHash<QString, int>& seen, Refuse refuse) {
        for (const QString& k : table.key) {
            const QVariant v = values.at(table.indexOf(k));
            if (v.isNull() || v.toString().isEmpty()) {
                refuse(k, {}, QStringLiteral("キーが空です"));
                return false;
            }
        }
        const QString key = storedKey(table, values);
        const auto first = seen.constFind(key);
        if (first != seen.constEnd()) {
            refuse(table.key.join(QStringLiteral(", ")), QString(key).replace(QChar(0x1F), " / "),
                   QStringLiteral("キーが %1 行目と重複しています").arg(*first));
            return false;
        }
        seen.insert(key, line);
        return true;
    }

    ImportData& m_data;
    QHash<QString, QSet<QString>> m_keys; // accepted keys by table
};

} // namespace

ImportData readAndCheck(ImportSource& source) {
    ImportData data;
    Checker checker(data);
    for (const Table& table : OldTables::tables()) {
        try {
            checker.add(table, readCsv(decodeJapaneseText(source.tableBytes(table.name))));
        } catch (const AppError& e) {
            if (e.text().startsWith(table.name))
                throw;
            throw AppError(QStringLiteral("%1: %2").arg(table.name, e.text()));
        }
    }
    return data;
}

QString refusalReport(const QList<Refusal>& refusals) {
    QString text =
        QStringLiteral("取り込めない行が %1 件あります。元のシステムで直して書き出し直すか、"
                       "--keep-going を付けてこれらの行を除いて取り込んでください。\n"
                       "テーブル\tキー\t列\t値\t理由\n")
            .arg(refusals.size());
    for (const Refusal& r : refusals)
        text += QStringList{r.table, r.key, r.column, r.value, r.reason}.join(QLatin1Char('\t')) +
                QLatin1Char('\n');
    return text;
}
