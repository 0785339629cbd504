#pragma once

#include "settlement/trialprint.h"

#include <QList>
#include <QStringList>

class QWidget;

// 印刷 of the trial result: asks "印刷しますか", then prints the list of the
// grid's cell texts (row 0 the headings) in landscape, each page headed by
// title, period, day of printing and page number, to the printer or to
// a PDF file "trial-YYYYMMDD-HHMMSS.pdf" as TVL.INI says. A failure is shown
// in the standard error box and ends the printing.
void printTrialList(QWidget* parent, const QList<QStringList>& gridTexts,
                    const TrialPrintHeading& heading);
