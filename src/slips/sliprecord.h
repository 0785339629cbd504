#pragma once

#include "core/money.h"

#include <QDateTime>
#include <QString>

// What the clerk typed on the slip entry screen, as plain values.
struct SlipInput {
    QString pno{}, wno{}, person{}; // codes: Lookup::key of cboPno, cboWNo, cboPerson
    QString workKind{};             // txtDet_1
    QString requestDate{};          // txtDay_0, "YYYY/MM/DD" or ""
    QString issued{};               // txtMon_0, "1,234"
    QString delivered{};            // txtMon_3
    QString deliveryDate{};         // txtDay_1
    QString lot{};                  // txtDet_2
    QString remark{};               // txtDet_3
    QString settlementDate{};       // txtDay_2
    bool deleted = false;           // ChkDel
};

// The status a slip had when the screen opened. A new slip compares
// against this default: not settled, not deleted.
struct SlipStatus {
    QString settlementDate; // "YYYY/MM/DD", "" when not settled
    bool deleted = false;
};

// One slip as the entry screen shows it.
struct SlipRecord {
    QString slipNo;                       // txtDet_0
    QString pno, wno, person;             // codes
    QString pnoItem, wnoItem, personItem; // cboPno, cboWNo, cboPerson: code and master name
    QString workKind, lot, remark;        // txtDet_1, txtDet_2, txtDet_3
    QString issued, delivered;            // txtMon_0, txtMon_3: "###,###,##0"
    UnitPrice storedPrice;                // 精算単価
    QString requestDate, deliveryDate;    // txtDay_0, txtDay_1: "YYYY/MM/DD", "" when Null
    QString settlementDate;               // txtDay_2: the day of 精算日時, "" when Null
    QDateTime settledAt;                  // 精算日時 as stored, invalid when Null
    QString settledAtStored;              // its stored text ("" when Null), checked again at save
    bool deleted = false;                 // ChkDel
    bool paid = false; // 精算日時 is the time stamp of a live settlement of its home-worker

    bool settled() const { return !settledAtStored.isEmpty(); }
    SlipStatus status() const { return {settlementDate, deleted}; }
    SlipInput input() const; // the boxes as loaded
};
