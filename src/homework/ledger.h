#pragma once

#include "core/money.h"
#include "homework/paymentterms.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// 家内労働者帳簿: per home-worker, for a period, what the Act's ledger form
// asks for as far as the tables hold it.

struct LedgerCommission { // a slip requested in the period
    QString slipNo;
    QDate requested;   // 依頼日
    QString work;      // 作業項目 (the work code when the master lacks it)
    QString drawing;   // 製品図番
    qint64 issued = 0; // 払出数量
    UnitPrice price;   // 精算単価
    QDate deliveryDue;
    QDate paymentDue;
};

struct LedgerReceipt { // a slip delivered in the period
    QString slipNo;
    QDate received;      // 納入日
    qint64 quantity = 0; // 納入数量
};

struct LedgerPayment { // a settlement run in the period
    QDateTime run;     // 精算日時
    Yen amount = 0;    // 精算金額
    Yen total = 0;     // 合計金額
    bool cancelled = false;
};

struct LedgerWorker {
    QString code;
    QString name;
    QString sex;       // 性別
    QDate birth;       // 生年月日
    QString address;   // 住所
    QString workplace; // 作業場所在地, "" when it is the address
    QList<LedgerCommission> commissions;
    QList<LedgerReceipt> receipts;
    QList<LedgerPayment> payments;
};

struct LedgerSelection {
    QDate first, last;
    QString fromCode, toCode; // "" for no bound
};

// The home-workers of the range that have an entry in the period, in code
// order, deleted ones included; deleted slips are left out, cancelled
// settlements are listed as such. Throws DbError.
QList<LedgerWorker> loadLedger(const LedgerSelection& selection, const PaymentTerms& terms);
