#include "importer/importsummary.h"

#include "core/sqlquery.h"

#include <QStringList>

namespace {

using OldTables::Table;

class Summariser {
  public:
    explicit Summariser(ImportSummary& s) : m_s(s) {}

    void add(const Table& table, const QVariantList& v) {
        ++m_s.rows[table.name];
        auto col = [&](const char* name) { return v.at(table.indexOf(QString::fromUtf8(name))); };
        if (table.name == QLatin1String("seihin_t")) {
            if (col("削除フラグ").toLongLong() == 1 || col("納入日").isNull() ||
                !col("精算日時").isNull())
                return;
            ImportSummary::Unsettled& u = m_s.unsettled[col("内職者コード").toString()];
            ++u.slips;
            u.amount += amountOf(UnitPrice::fromDb(col("精算単価").toDouble()),
                                 col("納入数量").toLongLong());
        } else if (table.name == QLatin1String("seisan_t")) {
            QString run = col("精算日時").toString();
            if (col("削除フラグ").toLongLong() == 1)
                run += QStringLiteral(" (解除)");
            ImportSummary::Run& r = m_s.runs[run];
            ++r.rows;
            r.slips += col("精算対象伝票枚数").toLongLong();
            r.amount += col("精算金額").toLongLong();
            r.tax += col("消費税").toLongLong();
            r.total += col("合計金額").toLongLong();
        }
    }

  private:
    ImportSummary& m_s;
};

template <typename V> QString figures(const V& v);
template <> QString figures(const qint64& n) {
    return QString::number(n);
}
template <> QString figures(const ImportSummary::Unsettled& u) {
    return QStringLiteral("%1 枚 %2 円").arg(u.slips).arg(u.amount);
}
template <> QString figures(const ImportSummary::Run& r) {
    return QStringLiteral("%1 行 %2 枚 精算金額 %3 消費税 %4 合計 %5")
        .arg(r.rows)
        .arg(r.slips)
        .arg(r.amount)
        .arg(r.tax)
        .arg(r.total);
}

template <typename V>
void section(QString& out, const QString& title, const QMap<QString, V>& before,
             const QMap<QString, V>& after, bool& agrees) {
    out += title + QStringLiteral("\t取り込み前\t取り込み後\n");
    QStringList keys = before.keys();
    for (const QString& k : after.keys())
        if (!before.contains(k))
            keys << k;
    if (keys.isEmpty())
        out += QStringLiteral("(なし)\n");
    for (const QString& k : keys) {
        const bool same = before.contains(k) && after.contains(k) && before[k] == after[k];
        agrees = agrees && same;
        out += QStringLiteral("%1\t%2\t%3%4\n")
                   .arg(k, before.contains(k) ? figures(before[k]) : QStringLiteral("-"),
                        after.contains(k) ? figures(after[k]) : QStringLiteral("-"),
                        same ? QString() : QStringLiteral("\t<- 不一致"));
    }
    out += QLatin1Char('\n');
}

} // namespace

SourceSummary::SourceSummary() {
    for (const Table& t : OldTables::tables())
        m_summary.rows[t.name] = 0;
}

void SourceSummary::add(const Table& table, const QVariantList& row) {
    Summariser(m_summary).add(table, row);
}

ImportSummary summariseDatabase(const QSqlDatabase& db) {
    ImportSummary s;
    Summariser add(s);
    for (const Table& t : OldTables::tables()) {
        SqlQuery count(db, QStringLiteral("SELECT count(*) AS n FROM %1").arg(t.name));
        count.exec();
        count.next();
        const qint64 rows = count.integer(QStringLiteral("n"));
        s.rows[t.name] = rows;
        // Only the rows the other figures are made of are read back.
        QString where;
        if (t.name == QLatin1String("seihin_t"))
            where = QStringLiteral(
                " WHERE 削除フラグ <> 1 AND 納入日 IS NOT NULL AND 精算日時 IS NULL");
        else if (t.name != QLatin1String("seisan_t"))
            continue;
        QStringList names;
        for (const OldTables::Column& c : t.columns)
            names << c.name;
        SqlQuery q(
            db,
            QStringLiteral("SELECT %1 FROM %2%3").arg(names.join(QLatin1Char(',')), t.name, where));
        q.exec();
        while (q.next()) {
            QVariantList row;
            for (const QString& n : names)
                row << q.value(n);
            add.add(t, row);
        }
        s.rows[t.name] = rows; // add() counted only the rows read back
    }
    return s;
}

QString summaryText(const ImportSummary& before, const ImportSummary& after, bool* agrees) {
    bool same = true;
    QString out;
    section(out, QStringLiteral("行数 (テーブル)"), before.rows, after.rows, same);
    section(out, QStringLiteral("未精算の納入済み伝票 (内職者コード)"), before.unsettled,
            after.unsettled, same);
    section(out, QStringLiteral("精算 (精算日時)"), before.runs, after.runs, same);
    out += same ? QStringLiteral("すべての件数と金額が一致しました。\n")
                : QStringLiteral("一致しない件数または金額があります (<- 不一致 の行)。"
                                 "取り込めなかった行を確かめてください。\n");
    if (agrees)
        *agrees = same;
    return out;
}
