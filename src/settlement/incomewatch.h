#pragma once

#include "homework/incomelines.h"
#include "settlement/consumptiontax.h"
#include "settlement/settlementcriteria.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// A home-worker whose year's pay would reach an income line with the
// settlement about to run.
struct IncomeCrossing {
    QString workerCode;
    QString workerName;
    Yen paidBefore = 0; // the live runs of the year up to runDay
    Yen withRun = 0;    // plus what this settlement would pay (合計)
    QStringList lines;  // the lines reached now, not before

    // "N001 山田花子 1,250,000円 → 1,310,000円: 社会保険の扶養（1,300,000円）"
    QString describe() const;
};

// Prices the selection as a settlement on runDay would, without writing,
// and names the home-workers that it takes to a line. Throws AppError as
// the settlement would (an unpayable slip, a failed lookup).
QList<IncomeCrossing> incomeCrossings(const SettlementCriteria& criteria,
                                      const QList<IncomeLine>& lines, const QDate& runDay,
                                      const TaxRules& tax);
