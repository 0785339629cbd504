#pragma once

#include <QList>
#include <QStringList>

class QWidget;

// 印刷 of the trial result: asks "印刷しますか", then prints the list of the
// grid's cell texts (row 0 the headings) in landscape, to the printer or to
// a PDF file "trial-YYYYMMDD-HHMMSS.pdf" as TVL.INI says. A failure is shown
// in the standard error box and ends the printing.
void printTrialList(QWidget* parent, const QList<QStringList>& gridTexts);
