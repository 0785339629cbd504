#include "core/login.h"

#include "core/bytetext.h"
#include "core/database.h"
#include "core/passwordhash.h"
#include "core/session.h"
#include "core/sqlquery.h"

namespace {

const QString kLive = QStringLiteral(" WHERE (削除フラグ <> 1) AND 社員コード = ?");

bool fileLogin(const QString& code, const QString& typed) {
    SqlQuery q(QStringLiteral("SELECT パスワード FROM syain_m") + kLive);
    q.bind(code).exec();
    if (!q.next())
        return false;
    const QString stored = q.str(QStringLiteral("パスワード"));
    if (!PasswordHash::matches(typed, stored))
        return false;
    // One statement that finds the clear password still in place: accepted
    // and replaced at once, or left to whoever replaced it first.
    if (!stored.isEmpty() && !PasswordHash::isHash(stored))
        execSql(QStringLiteral("UPDATE syain_m SET パスワード = ?"
                               " WHERE 社員コード = ? AND パスワード = ?"),
                {PasswordHash::make(typed), code, stored});
    return true;
}

bool serverLogin(const QString& code, const QString& typed) {
    SqlQuery setting(QStringLiteral("SELECT tarvel_login_setting(?) AS setting"));
    setting.bind(code).exec();
    if (!setting.next() || setting.isNull(QStringLiteral("setting")))
        return false;
    const QString s = setting.str(QStringLiteral("setting"));
    const bool clear = s == QLatin1String("-");
    const QString proof = clear || s.isEmpty() ? rtrim(typed) : PasswordHash::remake(typed, s);
    const QString upgrade = clear ? PasswordHash::make(typed) : QString();
    SqlQuery login(QStringLiteral("SELECT tarvel_login(?, ?, ?) AS ok"));
    login.bind(code).bind(proof).bind(upgrade).exec();
    return login.next() && login.integer(QStringLiteral("ok")) != 0;
}

} // namespace

int LoginCheck(const QString& code) {
    SqlQuery q(QStringLiteral("SELECT 社員コード FROM syain_m") + kLive);
    q.bind(code).exec();
    if (!q.next())
        return 1;
    gEmpCode = FieldStr(q, QStringLiteral("社員コード"));
    return 0;
}

bool loginPasswordMatches(const QString& code, const QString& typed) {
    return engineOf(gCon()) == SqlEngine::Postgres ? serverLogin(code, typed)
                                                   : fileLogin(code, typed);
}
