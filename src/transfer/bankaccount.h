#pragma once

#include <QString>
#include <QStringList>

// A home-worker's account as naishoku_m holds it (支払方法 1 振込).
struct BankAccount {
    QString bank;   // 銀行コード, 4 digits
    QString branch; // 支店コード, 3 digits
    QString type;   // 預金種目: 1 普通, 2 当座, 4 貯蓄
    QString number; // 口座番号, 7 digits
    QString holder; // 口座名義, bank kana

    // The headings of the fields that are missing or malformed, in the
    // order of the edit screen; empty when the account can be paid into.
    QStringList problems() const;
};

namespace BankFields {

constexpr int kHolderBytes = 30; // 受取人名 of a transfer record

// Whether text is exactly `count` ASCII digits.
bool isDigits(const QString& text, int count);

// The typed name as banks hold it (BankKana::fromTyped), refused with
// AppError when longer than kHolderBytes.
QString holderFromTyped(const QString& typed);

} // namespace BankFields
