#include "importer/importcheck.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "importer/csvreader.h"
#include "importer/importtext.h"
#include "importer/importvalues.h"

#include <QHash>
#include <QSet>
#include <map>

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
        if (at < 0 && c.optional) {
            positions << -1;
            continue;
        }
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
    Checker(QList<Refusal>& refusals, const ImportRowSink& sink)
        : m_refusals(refusals), m_sink(sink) {}

    void add(const Table& table, CsvReader& csv, const ImportText& text) {
        const QStringList& header = csv.header();
        const QList<int> at = columnPositions(table, header);
        QList<int> keyColumns;
        for (const QString& k : table.key)
            keyColumns << table.indexOf(k);
        struct Ref {
            int column;
            const QSet<QString>* masterKeys;
            QString reason;
        };
        QList<Ref> refs;
        for (const OldTables::Reference& r : table.references)
            refs << Ref{table.indexOf(r.column), &m_keys[r.master],
                        QStringLiteral("%1 にない%2です").arg(r.master, r.column)};
        QSet<QString>& keys = m_keys[table.name];
        QHash<QString, int> keyLines;
        QStringList fields;
        int line = 0;
        while (csv.next(fields, line)) {
            bool ok = true;
            auto refuse = [&](const QString& column, const QString& value, const QString& why) {
                const QString key = keyText(keyColumns, at, fields, line);
                m_refusals << Refusal{table.name, key, column, value, why};
                ok = false;
            };
            QVariantList values;
            values.reserve(table.columns.size());
            if (fields.size() != header.size()) {
                refuse({}, {},
                       QStringLiteral("%1 行目の列の数が見出しと違います (%2 列、見出しは %3 列)")
                           .arg(line)
                           .arg(fields.size())
                           .arg(header.size()));
                values.resize(table.columns.size());
                m_sink(table, values, false);
                continue;
            }
            for (int c = 0; c < table.columns.size(); ++c) {
                if (at.at(c) < 0) {
                    values << QVariant();
                    continue;
                }
                const QString& raw = fields.at(at.at(c));
                if (raw.contains(kUndecodable)) {
                    // One report line per refusal, even for a value of several lines.
                    refuse(table.columns.at(c).name,
                           QString(raw)
                               .replace(QLatin1Char('\r'), QString())
                               .replace(QLatin1Char('\n'), QChar(0x21B5)),
                           text.badPlace(lineOfUndecodable(fields, at.at(c), line)));
                    values << QVariant();
                    continue;
                }
                ImportValue::Result v = ImportValue::convert(table.columns.at(c).kind, raw);
                if (!v.problem.isEmpty())
                    refuse(table.columns.at(c).name, shown(raw), v.problem);
                values << std::move(v.value);
            }
            // A key that did not convert is reported once, as its value.
            QString key;
            if (ok && keyIsEmpty(table, keyColumns, values, refuse) == false) {
                key = storedKey(keyColumns, values);
                const auto first = keyLines.constFind(key);
                if (first != keyLines.constEnd())
                    refuse(table.key.join(QStringLiteral(", ")),
                           QString(key).replace(kKeySeparator, QStringLiteral(" / ")),
                           QStringLiteral("キーが %1 行目と重複しています").arg(*first));
                else
                    keyLines.insert(key, line);
            }
            for (const Ref& ref : refs) {
                const QString code = values.at(ref.column).toString();
                if (!ref.masterKeys->contains(code))
                    refuse(table.columns.at(ref.column).name, code, ref.reason);
            }
            if (ok)
                keys.insert(key);
            m_sink(table, values, ok);
        }
    }

  private:
    static constexpr QChar kKeySeparator = QChar(0x1F); // no code holds it
    static constexpr QChar kUndecodable = QChar(0xFFFD);

    // The line of the first undecodable byte of field `pos`, in a row that
    // starts on `line` and may span lines.
    static int lineOfUndecodable(const QStringList& fields, int pos, int line) {
        for (int f = 0; f < pos; ++f)
            line += int(fields.at(f).count(QLatin1Char('\n')));
        const QString& field = fields.at(pos);
        return line +
               int(QStringView(field).left(field.indexOf(kUndecodable)).count(QLatin1Char('\n')));
    }

    // The key as exported, for the report; the line when it has none.
    static QString keyText(const QList<int>& keyColumns, const QList<int>& at,
                           const QStringList& fields, int line) {
        QStringList parts;
        for (int k : keyColumns) {
            const int pos = at.at(k);
            if (pos < fields.size() && !fields.at(pos).trimmed().isEmpty())
                parts << rtrim(fields.at(pos));
        }
        return parts.size() == keyColumns.size() ? parts.join(QStringLiteral(" / "))
                                                 : QStringLiteral("(%1 行目)").arg(line);
    }

    static QString storedKey(const QList<int>& keyColumns, const QVariantList& values) {
        if (keyColumns.size() == 1)
            return values.at(keyColumns.first()).toString();
        QStringList parts;
        for (int k : keyColumns)
            parts << values.at(k).toString();
        return parts.join(kKeySeparator);
    }

    template <typename Refuse>
    static bool keyIsEmpty(const Table& table, const QList<int>& keyColumns,
                           const QVariantList& values, Refuse refuse) {
        for (int k : keyColumns) {
            const QVariant& v = values.at(k);
            if (v.isNull() || v.toString().isEmpty()) {
                refuse(table.columns.at(k).name, {}, QStringLiteral("キーが空です"));
                return true;
            }
        }
        return false;
    }

    QList<Refusal>& m_refusals;
    const ImportRowSink& m_sink;
    std::map<QString, QSet<QString>> m_keys; // accepted keys by table; stays in place
};

} // namespace

QList<Refusal> readAndCheck(ImportSource& source, const ImportRowSink& sink) {
    QList<Refusal> refusals;
    Checker checker(refusals, sink);
    QStringList names;
    for (const Table& table : OldTables::tables())
        names << table.name;
    source.requireTables(names);
    for (const Table& table : OldTables::tables()) {
        try {
            // The origin is known once the bytes are read.
            const QByteArray bytes = source.tableBytes(table.name);
            const ImportText text = decodeImportText(bytes, source.tableOrigin(table.name));
            CsvReader csv(text.text);
            checker.add(table, csv, text);
        } catch (const AppError& e) {
            if (e.text().startsWith(table.name))
                throw;
            throw AppError(QStringLiteral("%1: %2").arg(table.name, e.text()));
        }
    }
    return refusals;
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
