#pragma once

#include "core/sqlquery.h"

#include <QString>

// Codes and master rows the benchmarks share; the rows are written inside
// the caller's transaction.
namespace BenchMasters {

inline QString pno(int i) {
    return QStringLiteral("P%1").arg(i, 5, 10, QLatin1Char('0'));
}
inline QString wno(int i) {
    return QStringLiteral("W%1").arg(i, 3, 10, QLatin1Char('0'));
}
inline QString person(int i, int digits) {
    return QStringLiteral("N%1").arg(i, digits, 10, QLatin1Char('0'));
}

// Drawing numbers, work codes and home-workers numbered from 0.
inline void addMasters(int drawings, int workCodes, int persons, int personDigits) {
    for (int d = 0; d < drawings; ++d)
        execSql(
            QStringLiteral("INSERT INTO zuban_m (製品図番, 図番名称, 削除フラグ) VALUES (?, ?, 0)"),
            {pno(d), QStringLiteral("部品図番%1").arg(d)});
    for (int w = 0; w < workCodes; ++w)
        execSql(QStringLiteral(
                    "INSERT INTO sagyou_m (作業コード, 作業項目, 削除フラグ) VALUES (?, ?, 0)"),
                {wno(w), QStringLiteral("作業%1").arg(w)});
    for (int n = 0; n < persons; ++n)
        execSql(QStringLiteral("INSERT INTO naishoku_m (内職者コード, 内職者氏名, 削除フラグ)"
                               " VALUES (?, ?, 0)"),
                {person(n, personDigits), QStringLiteral("内職者%1").arg(n)});
}

} // namespace BenchMasters
