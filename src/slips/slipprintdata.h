#pragma once

#include "core/money.h"

#include <QDate>
#include <QList>
#include <QString>

// What one printed slip shows: the texts of its boxes, ready to print.
struct SlipPrintData {
    QString slipNo;            // 製品伝票番号
    QString requestDate;       // 依頼日 "YYYY/MM/DD"
    QString personName;        // 内職者氏名
    QString drawing;           // 製品図番 + " " + 図番名称
    QString work;              // 作業コード + " " + 作業項目
    QString workKind;          // 作業区分
    QString issuedQuantity;    // 払出数量 "###,###,##0"
    QString lotNo;             // 管理ロットNo
    QString remark;            // 備考
    QString deliveredQuantity; // 納入数量 "###,###,##0", "" when 0
    QString deliveryDate;      // 納入日 "YYYY/MM/DD", "" when none
    QString employeeName;      // 氏名 of the employee who last saved the slip
    // For the home-worker's handbook copy.
    UnitPrice price; // 精算単価
    QDate requestedOn, deliveredOn;
};

// The slips a print key names, in slip-number order: a key with "/" that is
// a date gives every slip requested that day, deleted ones included; any
// other key is a slip number. Throws DbError.
QList<SlipPrintData> loadSlipsToPrint(const QString& key);

// Shifts of the printed slip in twips, from [Denpyo] of TVL.INI. A missing
// or non-numeric value is 0; a value is rounded to whole twips and must fit
// 16 bits (AppError otherwise).
struct SlipMargins {
    int top = 0;
    int left1 = 0; // the left copy
    int left2 = 0; // the right copy
};
SlipMargins readSlipMargins();
