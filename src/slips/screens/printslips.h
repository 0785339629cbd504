#pragma once

#include <QString>

class QWidget;

// Prints slips, one A5 landscape page each: the slip with the number `key`,
// or, for a key "yyyy/mm/dd", every slip requested that day (deleted ones
// too), in slip-number order. Output goes where [Print] of TVL.INI says
// (see PrintRun). A key that matches nothing prints and shows nothing. An
// error is shown in the standard error box and stops the run; slips
// printed before it stay printed. Returns how many slips were printed.
int PrintSlips(QWidget* parent, const QString& key);

class frmDenpyo;
struct SlipPrintData;
struct SlipMargins;
struct PaymentTerms;

// The page of one slip, ready to paint. With handbook terms
// ([HomeWork] HandbookSlip=1) the home-worker's copy also shows the unit
// price, the delivery and payment due dates and the terms; the company's
// copy is the same either way.
void fillDenpyo(frmDenpyo& form, const SlipPrintData& slip, const SlipMargins& margins,
                const PaymentTerms* handbook = nullptr);
