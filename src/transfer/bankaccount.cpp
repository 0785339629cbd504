#include "transfer/bankaccount.h"

#include "core/apperror.h"
#include "transfer/bankkana.h"

#include <algorithm>

namespace BankFields {

bool isDigits(const QString& text, int count) {
    return text.size() == count && std::all_of(text.begin(), text.end(), [](QChar c) {
               return c >= QLatin1Char('0') && c <= QLatin1Char('9');
           });
}

QString holderFromTyped(const QString& typed) {
    const QString holder = BankKana::fromTyped(typed);
    if (holder.size() > kHolderBytes)
        throw AppError(QStringLiteral("口座名義が長すぎます（半角カナで%1文字まで、濁点・半濁点も"
                                      "1文字）。銀行の登録どおりに略して下さい。")
                           .arg(kHolderBytes));
    return holder;
}

} // namespace BankFields

QStringList BankAccount::problems() const {
    QStringList missing;
    if (!BankFields::isDigits(bank, 4))
        missing << QStringLiteral("銀行コード");
    if (!BankFields::isDigits(branch, 3))
        missing << QStringLiteral("支店コード");
    if (type != QLatin1String("1") && type != QLatin1String("2") && type != QLatin1String("4"))
        missing << QStringLiteral("預金種目");
    if (!BankFields::isDigits(number, 7))
        missing << QStringLiteral("口座番号");
    if (holder.isEmpty() || holder.size() > BankFields::kHolderBytes ||
        !BankKana::isAccepted(holder))
        missing << QStringLiteral("口座名義");
    return missing;
}
