#include "rolescommand.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/sqldialect.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"

namespace {

const QString kFunctions =
    QStringLiteral("FUNCTION tarvel_login_setting(text), tarvel_login(text, text, text),"
                   " tarvel_has_password(text), tarvel_set_password(text, text)");

// The paid-slip rule of the slip screen, held by the server for everyone
// but the owner (whose cancellation takes a settlement back).
const QString kPaidSlipGuard = QStringLiteral(
    "CREATE OR REPLACE FUNCTION tarvel_paid_slip_guard() RETURNS trigger LANGUAGE plpgsql"
    " SET search_path FROM CURRENT AS $f$ BEGIN"
    " IF pg_has_role(current_user, (SELECT relowner FROM pg_class WHERE oid = TG_RELID),"
    " 'MEMBER') THEN RETURN NEW; END IF;"
    " IF OLD.精算日時 IS NOT NULL AND EXISTS (SELECT 1 FROM seisan_t s"
    " WHERE s.精算日時 = OLD.精算日時 AND s.内職者コード = OLD.内職者コード"
    " AND COALESCE(s.削除フラグ, 0) <> 1)"
    " AND (NEW.内職者コード, NEW.製品図番, NEW.作業コード, NEW.依頼日, NEW.納入数量,"
    " NEW.精算単価, NEW.精算日時, NEW.削除フラグ) IS DISTINCT FROM (OLD.内職者コード,"
    " OLD.製品図番, OLD.作業コード, OLD.依頼日, OLD.納入数量, OLD.精算単価, OLD.精算日時,"
    " OLD.削除フラグ) THEN"
    " RAISE EXCEPTION '精算済みの伝票 % の精算にかかわる項目は変更できません。"
    "精算の解除はデータベースの所有者が行います。', OLD.製品伝票番号"
    " USING ERRCODE = '42501'; END IF;"
    " RETURN NEW; END $f$");

} // namespace

namespace RolesCommand {

bool isCommand(const QString& command) {
    return command == QLatin1String("roles");
}

void grantClerk(const QSqlDatabase& db, const QString& clerk) {
    // A role name is no value that could be bound: the server quotes it.
    SqlQuery names(db, QStringLiteral("SELECT quote_ident(?) AS role,"
                                      " quote_ident(current_schema()) AS schema"));
    names.bind(clerk).exec();
    names.next();
    const QString role = names.str(QStringLiteral("role"));
    const QString schema = names.str(QStringLiteral("schema"));
    const QString employeeColumns =
        QStringLiteral("社員コード, 氏名, 備考, 最終更新日時, 削除フラグ");
    const QStringList statements = {
        QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA %2 FROM PUBLIC, %1"),
        QStringLiteral("REVOKE ALL ON %3 FROM PUBLIC, %1"),
        QStringLiteral("GRANT USAGE ON SCHEMA %2 TO %1"),
        // Masters, prices and slips: written but never deleted (rows are
        // only marked deleted).
        QStringLiteral("GRANT SELECT, INSERT, UPDATE ON zuban_m, sagyou_m, naishoku_m, tanka_m,"
                       " seihin_t TO %1"),
        // Settlements are read (lists, reports), made by the owner.
        QStringLiteral("GRANT SELECT ON seisan_t TO %1"),
        // Employees without their passwords, which only the functions touch.
        QStringLiteral("GRANT SELECT (%4), INSERT (%4),"
                       " UPDATE (氏名, 備考, 最終更新日時, 削除フラグ) ON syain_m TO %1"),
        // The report work tables are emptied and refilled before each print.
        QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON wk_PersonA, wk_PnoAccount TO %1"),
        QStringLiteral("GRANT EXECUTE ON %3 TO %1"), kPaidSlipGuard,
        QStringLiteral("DROP TRIGGER IF EXISTS tarvel_paid_slip_guard ON seihin_t"),
        QStringLiteral("CREATE TRIGGER tarvel_paid_slip_guard BEFORE UPDATE ON seihin_t"
                       " FOR EACH ROW EXECUTE FUNCTION tarvel_paid_slip_guard()")};
    SqlTransaction tx(db);
    for (const QString& sql : statements)
        // The role last: no name it holds is read as a place holder.
        execSql(db, QString(sql)
                        .replace(QStringLiteral("%4"), employeeColumns)
                        .replace(QStringLiteral("%3"), kFunctions)
                        .replace(QStringLiteral("%2"), schema)
                        .replace(QStringLiteral("%1"), role));
    tx.commit();
}

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 2 || !isServerDatabase(args.at(0))) {
        err << "tarvel-admin roles: 所有者のユーザーで接続する PostgreSQL の DSN と、"
               "事務用のロール名を指定してください。\n";
        return 2;
    }
    int status = 0;
    try {
        openDatabase(args.at(0));
        grantClerk(gCon(), args.at(1));
        out << "ロール " << args.at(1) << " に事務用の権限を設定しました。\n";
    } catch (const AppError& e) {
        err << "tarvel-admin roles: " << e.text() << "\n";
        status = 1;
    }
    DBClose();
    return status;
}

} // namespace RolesCommand
