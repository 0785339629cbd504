#include "demoaccounts.h"

#include "core/sqlquery.h"
#include "transfer/bankkana.h"

namespace {

struct Account {
    const char* code;
    const char* bank;
    const char* branch;
    int type;
    const char* number;
    const char* holder; // as the clerk types it
};

// Made-up accounts: the codes name no real bank.
const Account kAccounts[] = {
    {"N001", "0901", "101", 1, "1234567", "タナカ　サチコ"},
    {"N003", "0901", "102", 1, "2345678", "ワタナベ　カズコ"},
    {"N007", "0902", "215", 4, "0034567", "ヨシダ　マユミ"},
    {"N011", "0903", "001", 1, "7654321", "マツモト　ノリコ"},
};

} // namespace

namespace DemoAccounts {

void insert(const QSqlDatabase& db) {
    for (const Account& a : kAccounts)
        execSql(db,
                QStringLiteral("UPDATE naishoku_m SET 支払方法 = 1, 銀行コード = ?, 支店コード = ?,"
                               " 預金種目 = ?, 口座番号 = ?, 口座名義 = ? WHERE 内職者コード = ?"),
                {QString::fromLatin1(a.bank), QString::fromLatin1(a.branch), a.type,
                 QString::fromLatin1(a.number), BankKana::fromTyped(QString::fromUtf8(a.holder)),
                 QString::fromLatin1(a.code)});
}

} // namespace DemoAccounts
