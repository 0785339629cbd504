#pragma once

#include "core/editmode.h"

#include <QDate>
#include <QString>

// What the clerk typed on the price edit screen, as plain values.
struct PriceInput {
    EditMode mode = EditMode::Add;
    qint64 serial = 0; // the line being edited (mode 2)
    QString pno;       // codes taken back from the combo boxes
    QString wno;
    QString person;
    QString priceText; // txtMon as shown, "1,234.500"
    QString startText; // "YYYY/MM/DD" or ""
    QString endText;   // "YYYY/MM/DD" or "" (open-ended)
    QString remark;
    bool deleted = false;
};

// The control a failed check sends the focus to.
enum class PriceField { None, Pno, WNo, Person, Mon, Start, End };

struct PriceCheck {
    QString message; // empty when the input may be saved
    PriceField focus = PriceField::None;
    bool ok() const { return message.isEmpty(); }
};

// Required fields, date order and period collision, in that order; the
// first failure decides the message and the focus. Throws DbError.
PriceCheck CheckPriceInput(const PriceInput& input);

// True when the period start..end (end invalid: open-ended) collides with
// another live line of the same combination. Only the nearest line starting
// on or after `start` and the nearest starting on or before it are looked
// at; in mode 2 the line being edited is left out. Throws DbError.
bool CheckPricePeriod(const PriceInput& input);
