#include "homework/yearlystatement.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/sqlquery.h"
#include "core/sqlvalues.h"

#include <QDate>
#include <QMap>

namespace {

// Live runs between two days inclusive, by the run's date.
const QString kRuns = QStringLiteral(
    "SELECT 内職者コード, 精算日時, 精算対象伝票枚数, 精算金額, 消費税, 合計金額 FROM seisan_t"
    " WHERE COALESCE(削除フラグ, 0) <> 1"
    " AND substr(CAST(精算日時 AS TEXT), 1, 10) >= ? AND substr(CAST(精算日時 AS TEXT), 1, 10) <= "
    "?");

} // namespace

YearlyFigures& YearlyFigures::operator+=(const YearlyFigures& o) {
    slips += o.slips;
    amount += o.amount;
    tax += o.tax;
    total += o.total;
    return *this;
}

YearlyFigures YearlyStatement::yearTotal() const {
    YearlyFigures sum;
    for (const YearlyFigures& m : months)
        sum += m;
    return sum;
}

QList<YearlyStatement> loadYearlyStatements(const YearlySelection& s,
                                            const QList<IncomeLine>& lines) {
    QString sql = kRuns;
    QVariantList values{SqlValue::date(QDate(s.year, 1, 1)), SqlValue::date(QDate(s.year, 12, 31))};
    if (!s.fromCode.isEmpty()) {
        sql += QStringLiteral(" AND 内職者コード >= ?");
        values << s.fromCode;
    }
    if (!s.toCode.isEmpty()) {
        sql += QStringLiteral(" AND 内職者コード <= ?");
        values << s.toCode;
    }
    SqlQuery runs(sql);
    for (const QVariant& v : values)
        runs.bind(v);
    runs.exec();
    QMap<QString, YearlyStatement> byCode;
    while (runs.next()) {
        const QString code = rtrim(runs.str(QStringLiteral("内職者コード")));
        const QDate day = SqlValue::toDateTime(runs.value(QStringLiteral("精算日時"))).date();
        if (!day.isValid())
            throw DbError(
                QStringLiteral("精算日時が読めない精算があります（内職者 %1）。").arg(code));
        YearlyStatement& st = byCode[code];
        st.code = code;
        st.year = s.year;
        st.months[size_t(day.month() - 1)] +=
            {runs.integer(QStringLiteral("精算対象伝票枚数")),
             runs.integer(QStringLiteral("精算金額")), runs.integer(QStringLiteral("消費税")),
             runs.integer(QStringLiteral("合計金額"))};
    }
    SqlQuery person(
        QStringLiteral("SELECT 内職者氏名, 郵便番号, 住所 FROM naishoku_m WHERE 内職者コード = ?"));
    QList<YearlyStatement> list;
    for (YearlyStatement& st : byCode) {
        person.bind(st.code).exec();
        if (person.next()) {
            st.name = rtrim(person.str(QStringLiteral("内職者氏名")));
            st.postalCode = rtrim(person.str(QStringLiteral("郵便番号")));
            st.address = rtrim(person.str(QStringLiteral("住所")));
        }
        st.crossedLines = IncomeLines::crossed(lines, st.yearTotal().total);
        list.append(std::move(st));
    }
    return list;
}

QHash<QString, Yen> paidInYearUpTo(const QDate& day) {
    SqlQuery runs(kRuns);
    runs.bind(SqlValue::date(QDate(day.year(), 1, 1))).bind(SqlValue::date(day)).exec();
    QHash<QString, Yen> paid;
    while (runs.next())
        paid[rtrim(runs.str(QStringLiteral("内職者コード")))] +=
            runs.integer(QStringLiteral("合計金額"));
    return paid;
}
