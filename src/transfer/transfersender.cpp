#include "transfer/transfersender.h"

#include "core/apperror.h"
#include "core/ini.h"
#include "transfer/bankaccount.h"
#include "transfer/bankkana.h"

namespace {

const QString kSection = QStringLiteral("Transfer");

AppError badKey(const QString& key, const QString& rule) {
    return AppError(QStringLiteral("TVL.INI の [Transfer] %1 が正しくありません（%2）。"
                                   "会社の口座の設定を確かめて下さい。")
                        .arg(key, rule));
}

QString digits(const char* key, int count) {
    const QString name = QString::fromLatin1(key);
    const QString value = IniRead(kSection, name);
    if (!BankFields::isDigits(value, count))
        throw badKey(name, QStringLiteral("%1桁の数字").arg(count));
    return value;
}

QString kana(const char* key, int bytes, bool required) {
    const QString name = QString::fromLatin1(key);
    const QString rule = QStringLiteral("半角カナで%1文字まで").arg(bytes);
    QString value;
    try {
        value = BankKana::fromTyped(IniRead(kSection, name));
    } catch (const AppError& e) {
        throw badKey(name, rule + QStringLiteral("。") + e.text());
    }
    if (value.size() > bytes || (required && value.trimmed().isEmpty()))
        throw badKey(name, rule);
    return value;
}

} // namespace

TransferSender TransferSender::read() {
    TransferSender s;
    s.clientCode = digits("ClientCode", 10);
    s.clientName = kana("ClientName", 40, true);
    s.bankCode = digits("BankCode", 4);
    s.bankName = kana("BankName", 15, false);
    s.branchCode = digits("BranchCode", 3);
    s.branchName = kana("BranchName", 15, false);
    s.accountType = IniRead(kSection, QStringLiteral("AccountType"));
    if (s.accountType != QLatin1String("1") && s.accountType != QLatin1String("2") &&
        s.accountType != QLatin1String("9"))
        throw badKey(QStringLiteral("AccountType"), QStringLiteral("1 普通、2 当座、9 その他"));
    s.accountNumber = digits("AccountNumber", 7);
    const QString ends = IniRead(kSection, QStringLiteral("LineEnd"));
    if (ends.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        s.recordEnds = false;
    else if (!ends.isEmpty() && ends.compare(QLatin1String("CRLF"), Qt::CaseInsensitive) != 0)
        throw badKey(QStringLiteral("LineEnd"), QStringLiteral("CRLF か none"));
    return s;
}
