#pragma once

#include "prices/priceinput.h"

#include <optional>

// One price line as the edit screen shows it, with the master names.
struct PriceRecord {
    qint64 serial = 0;
    QString pno, pnoName;
    QString wno, workName;
    QString person, personName;
    QString priceText; // "###,###,##0.000"
    QString remark;
    QDate start, end; // invalid when Null
    bool deleted = false;
};

// The line with that serial, or nothing. Throws DbError.
std::optional<PriceRecord> LoadPriceRecord(qint64 serial);

// The largest serial ever given (deleted lines count) plus one.
qint64 nextPriceSerial();

// Inserts the input as a new line with the next serial and returns the
// serial. Serial and insert run in one transaction. Throws AppError/DbError.
qint64 SavePriceNew(const PriceInput& input);

// Rewrites line input.serial. Throws DbError, or AppError when the line is
// gone.
void SavePriceEdit(const PriceInput& input);
