#pragma once

#include "core/money.h"
#include "transfer/bankaccount.h"
#include "transfer/transfersender.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>

// One data record: a home-worker of the run paid by transfer.
struct TransferPayee {
    QString code;
    QString name;
    BankAccount account;
    Yen amount = 0; // 合計金額 of the run
};

struct TransferBatch {
    QDateTime run;
    QList<TransferPayee> payees; // in home-worker code order
    int cashWorkers = 0;         // paid in cash, left to the cash table

    Yen total() const;
};

// The run's live settlements of home-workers whose 支払方法 is 振込 (1), in
// code order; rows of 0 yen are left out, as there is nothing to transfer.
// Refused with AppError: a run that does not exist or was cancelled, and a
// run with home-workers by transfer whose account is incomplete (each named
// with the fields missing). Throws DbError.
TransferBatch loadTransferBatch(const QDateTime& run);

// The codes of the home-workers paid by transfer (the cash table leaves
// them out). Throws DbError.
QSet<QString> workersPaidByTransfer();

// Whether text is a transfer day MMDD that some year has.
bool isTransferDay(const QString& mmdd);

// The file in the banks' common layout: a header, one data record per
// payee, a trailer with count and sum, an end record; each 120 bytes of
// JIS X 0201, followed by CR LF unless the sender says none. Throws
// AppError for a malformed day or an amount beyond the record's digits.
QByteArray transferFileBytes(const TransferSender& sender, const QString& mmdd,
                             const TransferBatch& batch);
