#include "codewidths.h"

#include "core/halfwidth.h"
#include "core/sqlquery.h"

#include <QMap>

namespace {

struct Place {
    const char* table;
    const char* label;
};

struct CodeKind {
    const char* column;
    QList<Place> places; // the master first
};

const QList<CodeKind> kKinds = {
    {"製品図番",
     {{"zuban_m", "製品図番マスタ"}, {"seihin_t", "製品伝票"}, {"tanka_m", "作業単価"}}},
    {"作業コード",
     {{"sagyou_m", "作業コードマスタ"}, {"seihin_t", "製品伝票"}, {"tanka_m", "作業単価"}}},
    {"内職者コード",
     {{"naishoku_m", "内職者マスタ"},
      {"seihin_t", "製品伝票"},
      {"tanka_m", "作業単価"},
      {"seisan_t", "精算"}}},
    {"社員コード", {{"syain_m", "社員マスタ"}}},
};

// Each spelling of a code and how many rows of each place hold it.
using Uses = QMap<QString, QList<qint64>>;

QString describe(const CodeKind& kind, const Uses& spellings) {
    QStringList quoted, uses;
    for (auto s = spellings.begin(); s != spellings.end(); ++s) {
        quoted << QStringLiteral("「%1」").arg(s.key());
        QStringList counts;
        for (int i = 0; i < kind.places.size(); ++i) {
            if (s.value().value(i) > 0)
                counts << QStringLiteral("%1 %2 件")
                              .arg(QString::fromUtf8(kind.places[i].label))
                              .arg(s.value()[i]);
        }
        uses << QStringLiteral("%1: %2").arg(s.key(), counts.join(QStringLiteral("、")));
    }
    return QStringLiteral("%1%2は全角と半角だけが違います（%3）。一つのコードにまとめて下さい"
                          "（README の「全角と半角だけが違うコード」）。")
        .arg(QString::fromUtf8(kind.column), quoted.join(QStringLiteral("と")),
             uses.join(QStringLiteral(" / ")));
}

} // namespace

namespace CodeWidths {

QStringList problems(const QSqlDatabase& db) {
    QStringList lines;
    for (const CodeKind& kind : kKinds) {
        QMap<QString, Uses> byFolded;
        for (int i = 0; i < kind.places.size(); ++i) {
            // A master row marked deleted that nothing uses any more is
            // what is left of a merge.
            SqlQuery q(db, QStringLiteral("SELECT %1 AS code, count(*) AS n FROM %2%3 GROUP BY %1")
                               .arg(QString::fromUtf8(kind.column),
                                    QString::fromUtf8(kind.places[i].table),
                                    i == 0 ? QStringLiteral(" WHERE COALESCE(削除フラグ, 0) = 0")
                                           : QString()));
            q.exec();
            while (q.next()) {
                const QString code = q.str(QStringLiteral("code"));
                if (code.isEmpty())
                    continue;
                QList<qint64>& counts = byFolded[toHalfWidth(code)][code];
                counts.resize(kind.places.size());
                counts[i] += q.integer(QStringLiteral("n"));
            }
        }
        for (const Uses& spellings : std::as_const(byFolded)) {
            if (spellings.size() > 1)
                lines << describe(kind, spellings);
        }
    }
    return lines;
}

} // namespace CodeWidths
