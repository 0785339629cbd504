#pragma once

#include "core/screens/bandedreport.h"
#include "homework/yearlystatement.h"

#include <QString>

// The company as the statement names it: [User] Name and Address.
struct StatementIssuer {
    QString name;
    QString address;
    static StatementIssuer read();
};

// 年間工賃支払明細書 as a banded report (A4 portrait): one page for each
// home-worker with the months, the year's totals and the income lines
// reached; every page names the company and "p / P".
BandedReport yearlyReport(const QList<YearlyStatement>& statements, const StatementIssuer& issuer);

// Prints it through one PrintRun as the document "yearly-<year>". Throws
// AppError.
void printYearly(class PrintRun& run, const BandedReport& report, int year);
