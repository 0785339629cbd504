#pragma once

#include "core/screens/bandedreport.h"
#include "homework/ledger.h"

#include <QString>

// 家内労働者帳簿 as a banded report (A4 landscape): each home-worker on a
// page of their own with the person, then the commissions, the receipts and
// the payments of the period; every page names the company and "p / P".
BandedReport ledgerReport(const QList<LedgerWorker>& workers, const LedgerSelection& selection,
                          const QString& companyName);

// Prints it through one PrintRun as the document "ledger-<first>-<last>".
// Throws AppError.
void printLedger(class PrintRun& run, const BandedReport& report, const LedgerSelection& selection);
