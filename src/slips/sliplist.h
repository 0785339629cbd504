#pragma once

#include "core/listcolumns.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The filters of the slip search screen. A code filter that is set compares
// the slip's code with exactly that text, so a checked filter whose box is
// empty lists nothing. The number range compares as text; a bound whose box
// is empty (raw text) is left out, other bounds lose their trailing blanks.
struct SlipSearch {
    bool hideDeleted = true;
    bool hideDelivered = true;
    std::optional<QString> person{}; // 内職者コード, the key of cboPerson
    std::optional<QString> pno{};    // 製品図番, the key of cboPno
    bool byNumber = false;           // chkOrder
    QString fromNo{}, toNo{};        // txtDet_0, txtDet_1 as typed
    // Beyond the filter boxes: the delivered, unsettled slips delivered on
    // or before this day (the menu's late-payment warning).
    QDate unsettledDeliveredUpTo{};
};

// The columns of a slip list row, as the grid shows them.
namespace SlipListCol {
enum : int {
    Key,          // 製品伝票番号, the hidden key
    SlipNo,       // 製品伝票番号
    Pno,          // 製品図番
    PnoName,      // 図番名称
    Wno,          // 作業コード
    WorkName,     // 作業項目
    WorkKind,     // 作業区分
    PersonName,   // 内職者氏名
    Price,        // in force on the request date, "###,###,##0.000"; "0.000" when
                  // none, "" when the slip has no request date
    RequestDate,  // "YYYY/MM/DD", "" when Null
    Issued,       // 払出数量, "###,###,##0"
    DeliveryDate, // "YYYY/MM/DD", "" when Null
    Delivered,    // 納入数量, "###,###,##0"
    Lot,          // 管理ロットNo
    Remark,       // 備考
    Deleted,      // "削除" or ""
    Count
};
} // namespace SlipListCol

// The slip list's columns, in the order of SlipListCol.
const ListDefinition& slipListDefinition();

// The slips the search selects, in slip-number order, one row of display
// texts each (SlipListCol), ready for the grid. Every row is priced in the
// same statement by the rule of lookupPrice. Throws DbError.
QList<QStringList> loadSlipRows(const SlipSearch& search);

// The range order check on leaving the upper bound: false (SlipText::
// RangeOrder) when both bounds are given and the lower is not below the
// upper; equal bounds are refused too.
bool slipRangeInOrder(const QString& fromNo, const QString& toNo);
