#pragma once

#include "core/apperror.h"
#include "slips/sliprecord.h"
#include "slips/sliptexts.h"

#include <optional>

// Reading and writing production slips. Texts are stored with their
// trailing blanks removed and cut to their byte widths, quantities as whole
// numbers, dates as dates; 最終更新日時 comes from the clock and 社員コード
// is gEmpCode. A missing required field or a malformed date or quantity is
// refused with AppError; database failures throw DbError.

// The slip with that number, deleted or not, with the master names; nothing
// when there is none. Throws DbError.
std::optional<SlipRecord> LoadSlipRecord(const QString& slipNo);

// A new slip as the entry screen opens it in add mode: the number it will
// probably get (NewSlipNo; "" when the day's numbers are used up), today as
// the request date, quantities "0". Throws DbError.
SlipRecord newSlipRecord();

// The refusals a caller treats apart from the rest, known by their type.
class SlipNumbersUsedUp : public AppError {
  public:
    SlipNumbersUsedUp() : AppError(SlipText::DayFull) {}
};
class PaidSlipLocked : public AppError {
  public:
    PaidSlipLocked() : AppError(SlipText::PaidLocked) {}
};

// Inserts a new slip and returns its number. The number (NewSlipNo) and the
// price in force on the request date (0 when none) are taken inside one
// write transaction, so two programs saving at once never share a number.
// A settlement date typed here is stored as that day at 00:00:00. Throws
// SlipNumbersUsedUp when the day's numbers are used up; nothing
// is written then.
QString InsertSlip(const SlipInput& input);

// Rewrites slip loaded.slipNo from the input.
// - An unchanged settlement date leaves 精算日時 as stored; a changed one
//   stores that day at 00:00:00; an emptied box stores Null.
// - A slip settled when loaded that stays settled keeps its 精算単価; every
//   other slip is re-priced at the price in force on its request date.
// - When 精算日時 was changed by another program since `loaded` was read,
//   nothing is written: AppError(SlipText::SettledElsewhere).
// - A paid slip whose paid-for fields changed (paidFieldsChanged) is not
//   written: PaidSlipLocked.
// A slip that no longer exists gives AppError(SlipText::UpdateFailed).
void UpdateSlip(const SlipInput& input, const SlipRecord& loaded);

// Whether a slip with the number exists, deleted ones included. The typed
// text loses its trailing blanks (a scanner may add one), so the slip to
// open is rtrim(typedNo). Throws DbError, so a failed look-up is never taken
// for "not registered".
bool SlipExists(const QString& typedNo);
