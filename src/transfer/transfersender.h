#pragma once

#include <QString>

// The company's side of a transfer file, from TVL.INI [Transfer]: 依頼人
// code and name and the account the transfers are paid from.
struct TransferSender {
    QString clientCode;     // ClientCode, 10 digits given by the bank
    QString clientName;     // ClientName, bank kana
    QString bankCode;       // BankCode, 4 digits
    QString bankName;       // BankName, bank kana, may be blank
    QString branchCode;     // BranchCode, 3 digits
    QString branchName;     // BranchName, bank kana, may be blank
    QString accountType;    // AccountType: 1 普通, 2 当座, 9 その他
    QString accountNumber;  // AccountNumber, 7 digits
    bool recordEnds = true; // LineEnd: CRLF after each record, "none" for one stream

    // Reads and checks the section; throws AppError naming the first key
    // that is missing or malformed and what it must hold.
    static TransferSender read();
};
