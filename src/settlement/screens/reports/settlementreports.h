#pragma once

#include "core/screens/bandedreport.h"
#include "settlement/cashbreakdown.h"
#include "settlement/paidfigure.h"
#include "settlement/worktables.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

// The three printed documents of a settlement run, built from the rows the
// work tables were filled with and from the run's cash lines; the
// settlement screen decides between the preview and the printer.

// What every report prints besides its rows.
struct ReportContext {
    QString companyName;                 // [User] Name
    QDate printedOn;                     // the date of printing
    PaidFigure paid = PaidFigure::Total; // what the receipt and the cash table name
};

// 製品加工高　精算表: per home-worker (each on a new page) the slips, the
// totals and the tear-off receipt; the totals and the receipt are one band,
// so they are never parted. Paid with tax, the statement ends with the sum
// of the slips, the stored tax and total (settled, by home-worker code) and
// the receipt names the total and its tax; paid without, both give the sum
// of the slips. Lines are grouped by run and home-worker whatever order they
// come in.
BandedReport drptAccount(const QList<StatementLine>& lines,
                         const QMap<QString, SettledFigures>& settled,
                         const ReportContext& context);

// 金種表 (landscape): one line per home-worker in code order, the paid
// figure broken down, the column totals at the end; timeStampText is the run
// as chosen on the screen.
BandedReport drptKinshu(const QString& timeStampText, const QList<CashLine>& lines,
                        const ReportContext& context);

// 製品図番別精算金額一覧表: per settlement date the classes with their amount and
// quantity, and the totals. Lines of one class are listed once, summed.
BandedReport drptPnoAccount(const QList<PnoLine>& lines, const ReportContext& context);
