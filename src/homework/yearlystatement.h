#pragma once

#include "core/money.h"
#include "homework/incomelines.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// 年間工賃支払明細書: per home-worker, what the live settlement runs of a
// calendar year paid, month by month of the run date (as paid).
struct YearlyFigures {
    qint64 slips = 0;
    Yen amount = 0; // 工賃 (精算金額)
    Yen tax = 0;    // 消費税
    Yen total = 0;  // 合計

    YearlyFigures& operator+=(const YearlyFigures& other);
};

struct YearlyStatement {
    QString code;
    QString name;
    QString postalCode;
    QString address;
    int year = 0;
    std::array<YearlyFigures, 12> months{};
    QStringList crossedLines; // the income lines the year's 合計 reaches

    YearlyFigures yearTotal() const;
};

struct YearlySelection {
    int year = 0;
    QString fromCode, toCode; // "" for no bound
};

// The home-workers of the range paid in the year, in code order; cancelled
// settlements are not counted. Throws DbError.
QList<YearlyStatement> loadYearlyStatements(const YearlySelection& selection,
                                            const QList<IncomeLine>& lines);

// What the live runs of the year of `day` paid each home-worker (合計) up
// to and including that day. Throws DbError.
QHash<QString, Yen> paidInYearUpTo(const QDate& day);
