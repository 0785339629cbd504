#include "core/login.h"

#include "core/bytetext.h"
#include "core/session.h"
#include "core/sqlquery.h"

int LoginCheck(const QString& code) {
    SqlQuery q(QStringLiteral("SELECT 社員コード, パスワード FROM syain_m"
                              " WHERE (削除フラグ <> 1) AND 社員コード = ?"));
    q.bind(code).exec();
    if (!q.next())
        return 1;
    gEmpCode = FieldStr(q, QStringLiteral("社員コード"));
    gPassword = FieldStr(q, QStringLiteral("パスワード"));
    return 0;
}

bool PasswordMatches(const QString& typed, const QString& stored) {
    return rtrim(typed) == stored;
}
