#pragma once

#include "core/money.h"

#include <QDate>
#include <QString>

struct PriceLookupResult {
    bool found = false;
    UnitPrice price;      // zero when not found
    QString text() const; // "###,###,##0.000", "0.000" when not found
};

// The price in force on `date` for the combination: the live line with the
// latest start on or before the date (its end is not consulted); of two
// lines with the same start, the one with the higher serial. Codes are
// compared as given. Throws AppError for an invalid date and DbError when
// the database fails; the caller must stop rather than use a price.
// A caller looking up many prices may still wrap them in one read
// transaction, which saves a little more per call. Lists and settlement
// price their rows by the same rule inside their own statement
// (priceInForceColumn): change both together.
PriceLookupResult lookupPrice(QDate date, QString pno, QString wno, QString person);

// A scalar subquery giving, for each row of the seihin_t rows named `slip`,
// the price lookupPrice finds for its request date and codes (trailing
// blanks removed), Null when there is none. For gCon's engine.
QString priceInForceColumn(const QString& slip);

// A unit price as lists show it: "###,###,##0.000".
QString priceListText(const UnitPrice& price);
