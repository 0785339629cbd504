#pragma once

#include "settlement/cashbreakdown.h"
#include "settlement/worktables.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

class QWidget;

// The settlement screen's four print buttons. The screen asks its question,
// shows the busy pointer while it prepares, restores the pointer, and then
// either shows its own "nothing exists" message (no data prepared) or hands
// the data to one of the output functions below. Preparation throws AppError
// (DbError) on a database failure.

struct StatementPrint {
    QDateTime run;
    QList<StatementLine> lines;
    QMap<QString, SettledFigures> settled; // the run's seisan_t rows by home-worker code
};

struct CashPrint {
    QDateTime run;
    QString timeStampText; // the run as the screen shows it
    QList<CashLine> lines;
};

struct ClassPrint {
    QDateTime run;
    QList<PnoLine> lines;
};

// runText is the text of txtDatetime: a day or one run's time stamp. Each
// gives nothing when no live run matches, so a cancelled run prints none of
// the three (the cash table included: its cash must not be paid out).
std::optional<StatementPrint> prepareStatementPrint(const QString& runText);
std::optional<CashPrint> prepareCashPrint(const QString& runText);
std::optional<ClassPrint> prepareClassPrint(const QString& runText);

// Preview windows (modal) with a print button; output goes to the default
// printer or to PDF as TVL.INI says, one document per report named
// "statement-", "cash-" or "classes-" and the run as yyyyMMdd-HHmmss.
void previewStatement(QWidget* owner, const StatementPrint& data);
void previewCashTable(QWidget* owner, const CashPrint& data);
void previewClassList(QWidget* owner, const ClassPrint& data);

// Straight to the printer (or PDF), statement first, then the cash table.
void printStatementAndCash(QWidget* owner, const StatementPrint& statement, const CashPrint& cash);
