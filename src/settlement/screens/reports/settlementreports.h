#pragma once

#include "core/screens/bandedreport.h"
#include "settlement/cashbreakdown.h"
#include "settlement/worktables.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// The three printed documents of a settlement run, built from the rows the
// work tables were filled with and from the run's cash lines; the
// settlement screen decides between the preview and the printer.

// What every report prints besides its rows.
struct ReportContext {
    QString companyName; // [User] Name
    QDate printedOn;     // the date of printing
};

// 製品加工高　精算表: per home-worker (each on a new page) the slips, the
// total and the tear-off receipt; the total and the receipt are one band, so
// they are never parted. Lines are grouped by run and home-worker whatever
// order they come in.
BandedReport drptAccount(const QList<StatementLine>& lines, const ReportContext& context);

// 金種表 (landscape): one line per home-worker in code order, the column
// totals at the end; timeStampText is the run as chosen on the screen.
BandedReport drptKinshu(const QString& timeStampText, const QList<CashLine>& lines,
                        const ReportContext& context);

// 製品図番別金額一覧: per settlement date the classes with their amount and
// quantity, and the totals. Lines of one class are listed once, summed.
BandedReport drptPnoAccount(const QList<PnoLine>& lines, const ReportContext& context);
