#include "core/employeepassword.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/passwordhash.h"
#include "core/sqlquery.h"

namespace {

const EngineSql kHasPassword = {
    "SELECT COALESCE(パスワード, '') <> '' AS has FROM syain_m WHERE 社員コード = ?",
    "SELECT tarvel_has_password(?) AS has"};

const EngineSql kStore = {"SELECT 1 AS done FROM syain_m WHERE 社員コード = ?",
                          "SELECT tarvel_set_password(?, ?) AS done"};

} // namespace

const EngineSql& passwordMaskColumn() {
    static const EngineSql sql = {
        "CASE WHEN COALESCE(パスワード, '') = '' THEN '' ELSE '＊＊＊＊' END AS パスワード",
        "CASE WHEN tarvel_has_password(社員コード) THEN '＊＊＊＊' ELSE '' END AS パスワード"};
    return sql;
}

bool employeeHasPassword(const QString& code) {
    SqlQuery q(kHasPassword);
    q.bind(code).exec();
    return q.next() && q.integer(QStringLiteral("has")) != 0;
}

void storeEmployeePassword(const QString& code, const QString& clear) {
    const QString value = clear.isEmpty() ? QStringLiteral("") : PasswordHash::make(clear);
    if (engineOf(gCon()) == SqlEngine::Sqlite) {
        execSql(QStringLiteral("UPDATE syain_m SET パスワード = ? WHERE 社員コード = ?"),
                {value, code});
        return;
    }
    SqlQuery q(kStore.postgres);
    q.bind(code).bind(value).exec();
    if (!q.next() || q.integer(QStringLiteral("done")) == 0)
        throw AppError(QStringLiteral("社員 %1 のパスワードは、このユーザーでは変更できません。\n"
                                      "設定済みのパスワードの変更と消去は、データベースの"
                                      "所有者のユーザーで接続したパソコンで行って下さい。")
                           .arg(code));
}

QStringList employeesWithClearPasswords(const QSqlDatabase& db) {
    SqlQuery q(db, QStringLiteral("SELECT 社員コード FROM syain_m WHERE COALESCE(パスワード, '')"
                                  " <> '' AND パスワード NOT LIKE '$argon2id$%'"
                                  " ORDER BY 社員コード"));
    q.exec();
    QStringList codes;
    while (q.next())
        codes << q.str(QStringLiteral("社員コード"));
    return codes;
}

QStringList serverPasswordFunctions() {
    // SECURITY DEFINER: they run with the owner's rights, which the clerks'
    // role lacks on パスワード; search_path is pinned so that no schema of
    // the caller's can stand in for syain_m.
    const QString head = QStringLiteral(
        "CREATE OR REPLACE FUNCTION %1 SECURITY DEFINER SET search_path FROM CURRENT AS $f$ ");
    return {
        // What the login proves against: the hash's setting (costs and
        // salt), "" for no password, "-" for one stored in clear. Null for
        // no live employee.
        head.arg(QStringLiteral("tarvel_login_setting(p_code text) RETURNS text LANGUAGE sql "
                                "STABLE")) +
            QStringLiteral(
                "SELECT CASE WHEN COALESCE(パスワード, '') = '' THEN ''"
                " WHEN パスワード LIKE '$argon2id$%' THEN regexp_replace(パスワード, '[$][^$]*$', "
                "'')"
                " ELSE '-' END FROM syain_m WHERE 削除フラグ <> 1 AND 社員コード = p_code $f$"),
        // Yes or no to a login. A clear password that matches is replaced
        // by the hash the program made of it, in the same statement.
        head.arg(QStringLiteral("tarvel_login(p_code text, p_proof text, p_upgrade text) "
                                "RETURNS boolean LANGUAGE plpgsql")) +
            QStringLiteral(
                "DECLARE stored text; BEGIN"
                " SELECT COALESCE(パスワード, '') INTO stored FROM syain_m"
                " WHERE 削除フラグ <> 1 AND 社員コード = p_code FOR UPDATE;"
                " IF NOT FOUND OR stored <> COALESCE(p_proof, '') THEN RETURN false; END IF;"
                " IF stored <> '' AND stored NOT LIKE '$argon2id$%'"
                " AND p_upgrade LIKE '$argon2id$%' THEN"
                " UPDATE syain_m SET パスワード = p_upgrade WHERE 社員コード = p_code; END IF;"
                " RETURN true; END $f$"),
        head.arg(QStringLiteral("tarvel_has_password(p_code text) RETURNS boolean LANGUAGE sql "
                                "STABLE")) +
            QStringLiteral("SELECT COALESCE(bool_or(COALESCE(パスワード, '') <> ''), false)"
                           " FROM syain_m WHERE 社員コード = p_code $f$"),
        // Anyone may give a password to an employee who has none (the
        // question after a login without one); changing or removing one
        // takes the owner.
        head.arg(QStringLiteral("tarvel_set_password(p_code text, p_value text) RETURNS boolean "
                                "LANGUAGE plpgsql")) +
            QStringLiteral(
                "DECLARE stored text; BEGIN"
                " IF COALESCE(p_value, '') <> '' AND p_value NOT LIKE '$argon2id$%' THEN"
                " RETURN false; END IF;"
                " SELECT COALESCE(パスワード, '') INTO stored FROM syain_m"
                " WHERE 社員コード = p_code FOR UPDATE;"
                " IF NOT FOUND THEN RETURN false; END IF;"
                " IF stored <> '' AND NOT pg_has_role(session_user,"
                " (SELECT relowner FROM pg_class WHERE oid = 'syain_m'::regclass), 'MEMBER') THEN"
                " RETURN false; END IF;"
                " UPDATE syain_m SET パスワード = COALESCE(p_value, '') WHERE 社員コード = p_code;"
                " RETURN true; END $f$")};
}
