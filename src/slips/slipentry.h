#pragma once

#include "slips/sliprecord.h"

// The rules of the slip entry screen between loading and saving. `loaded`
// is the slip as the screen loaded it in edit mode, nullptr in add mode.

// The first required field that is empty, in the order 製品図番, 作業コード,
// 内職者コード, 依頼日; None when all are given. The screen shows
// ConventionText::Required and moves the focus there.
enum class SlipField { None, Pno, WNo, Person, RequestDate };
SlipField CheckRequired(const SlipInput& input);

// Status changes against the slip as loaded (SlipText::StatusChanges on
// leaving 精算日時 or clicking ChkDel; the status question at save).
bool settlementDateChanged(const SlipStatus& loaded, const QString& boxText);
bool deletionChanged(const SlipStatus& loaded, bool checked);
bool statusChanged(const SlipStatus& loaded, const SlipInput& input);

// Whether a save keeps the slip's stored 精算単価: a settled slip that stays
// settled was paid at that price. Every other slip is re-priced at save.
bool keepsStoredPrice(const SlipInput& input, const SlipRecord* loaded);

// Whether the input changes what a paid slip was paid for: its home-worker,
// drawing number, work code, 依頼日, 納入数量, deletion mark or 精算日時.
// Such a save is refused with SlipText::PaidLocked; other fields may change.
bool paidFieldsChanged(const SlipInput& input, const SlipRecord& loaded, bool paid);

// What 単価 (txtMon_1) and 合計 (txtMon_2) show.
struct SlipPriceView {
    bool found = false; // false: no price in force (SlipText::NoPrice on leaving 依頼日)
    QString price;      // "###,###,##0.000", "0.000" when none
    QString total;      // "##,###,###,##0", "0" when none
};
// For the slip as typed: the stored price of a slip that keeps it, else the
// price in force on the request date (none for an empty date). Throws
// AppError for a malformed date and DbError when the lookup fails.
SlipPriceView slipPriceView(const SlipInput& input, const SlipRecord* loaded);
// Quantity × price as the total box shows it, halves away from zero.
QString slipTotalText(const QString& quantityText, const QString& priceText);

// The one question 更新 asks once CheckRequired passed.
enum class SlipQuestion {
    RegisterPrice, // no price in force: SlipText::RegisterPriceQuestion, never prints
    Add,           // SlipText::AddQuestion: Yes saves and prints, No saves
    Update,        // SlipText::UpdateQuestion: likewise
    StatusChange,  // SlipText::StatusQuestion (OK / Cancel), never prints
};
// Throws as slipPriceView.
SlipQuestion slipSaveQuestion(const SlipInput& input, const SlipRecord* loaded);
