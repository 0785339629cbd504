#pragma once

#include "core/listcolumns.h"
#include "core/money.h"
#include "settlement/paidfigure.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Which settlement run a text names: a day ("yyyy/mm/dd" or eight digits)
// stands for the whole day, 00:00:00 to 23:59:59 inclusive; a time stamp
// "yyyy/mm/dd hh:mm:ss" for exactly that run. Anything else names nothing.
struct RunDesignation {
    QDate day;
    QDateTime stamp;
    bool isUsable() const { return day.isValid() || stamp.isValid(); }
};
RunDesignation designateRun(const QString& text);

// The run a designation picks for printing: the latest live run of the day,
// or the given time stamp when a live run carries it. Throws DbError.
std::optional<QDateTime> findSettlementRun(const RunDesignation& designation);

// One seisan_t row with the home-worker's name.
struct SettlementRow {
    QDateTime run;
    QString runText; // "yyyy/mm/dd hh:mm:ss"
    QString workerCode;
    QString workerName;
    QDate firstDay;
    QDate lastDay;
    qint64 slipCount = 0;
    Yen amount = 0;
    Yen tax = 0;
    Yen total = 0;
    bool deleted = false; // the settlement was cancelled
    SettledFigures figures() const { return {amount, tax, total}; }
};

// The settlements the designation names, newest run first (the settlement
// screen's list); live rows only unless asked. The first row's run is the
// one the screen prints. Empty for an unusable designation.
QList<SettlementRow> LoadSettlementList(const RunDesignation& designation, bool includeCancelled);

// The rows of one run in home-worker code order, live only unless asked
// (the cash-denomination table).
QList<SettlementRow> settlementRowsOfRun(const QDateTime& run, bool includeCancelled = false);

// The cells of a settlement list row as the screen's grid shows them:
// run, code, -, name, slips, amount, tax, total, -, deleted mark.
QStringList settlementListCells(const SettlementRow& row);

// The settlement list's columns, as settlementListCells fills them; the
// run, the code and the unused column are hidden.
const ListDefinition& settlementListDefinition();
