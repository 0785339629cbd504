#include "rolescommand.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/employeepassword.h"
#include "core/login.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "settlement/settlementrun.h"
#include "slips/slipfixtures.h"
#include "support/testdatabase.h"
#include "support/testruns.h"

#include <QCoreApplication>
#include <QTest>

using namespace SlipFixtures;

// The clerks' role that tarvel-admin roles sets up, on the server: what a
// clerk PC can do and what it cannot (runs only on a server).
class TestServerRoles : public QObject {
    Q_OBJECT
  private slots:
    void clerkRoleDoesTheScreensWorkAndNoMore() {
        TestDatabase t;
        const QString clerk = "clerk_" + TestRuns::rows("SELECT current_schema()").value(0);
        PriceFixtures::addMasters();
        execSql("INSERT INTO syain_m (社員コード, 氏名, 削除フラグ) VALUES ('E001', '事務', 0),"
                " ('E002', '新人', 0), ('E003', '旧', 0)");
        storeEmployeePassword("E001", "pw1");
        execSql("UPDATE syain_m SET パスワード = 'old3' WHERE 社員コード = 'E003'");
        addSlip({.no = "paid",
                 .deliveredOn = "2026-03-20",
                 .settledAt = "2026-03-25 10:00:00",
                 .price = 10,
                 .delivered = 5});
        addSlip({.no = "open", .deliveredOn = "2026-03-21", .price = 10, .delivered = 5});
        execSql("INSERT INTO seisan_t (精算日時, 内職者コード, 精算対象開始日, 精算対象最終日,"
                " 精算対象伝票枚数, 精算金額, 消費税, 合計金額, 削除フラグ) VALUES"
                " ('2026-03-25 10:00:00', 'N01', '2026-03-01', '2026-03-20', 1, 50, 5, 55, 0)");
        execSql(QStringLiteral("CREATE ROLE %1 LOGIN").arg(clerk));
        RolesCommand::grantClerk(gCon(), clerk);
        // The schema as the version before made it: the owner's PC must
        // bring it up to date before a clerk's may use it.
        execSql("DROP INDEX tanka_m_combination");
        execSql("CREATE INDEX tanka_m_combination ON tanka_m (製品図番, 作業コード, 内職者コード, "
                "適用開始日)");
        Schema::setVersion(gCon(), Schema::kVersion - 1);
        DBClose();

        // Who, what (SQL, or login/password/settle), what comes back.
        const std::tuple<QString, QString, QString> cases[] = {
            {"clerk", "open",
             "データベースの形式が古く、このユーザーでは新しい形式に更新できません。"},
            {"owner", "open", "ok: " + QString::number(Schema::kVersion)},
            {"owner",
             "SELECT indexdef FROM pg_indexes WHERE indexname = 'tanka_m_combination'"
             " AND schemaname = current_schema() AND indexdef LIKE '%単価シリアル%'",
             "ok: 1"},
            {"clerk", "open", "ok: " + QString::number(Schema::kVersion)},
            {"clerk", "SELECT 社員コード, パスワード FROM syain_m", "権限がありません"},
            {"clerk", "SELECT 社員コード, 氏名 FROM syain_m", "ok"},
            {"clerk", "UPDATE syain_m SET パスワード = 'x'", "権限がありません"},
            {"clerk", "UPDATE seisan_t SET 合計金額 = 合計金額 + 1000000", "権限がありません"},
            {"clerk", "DELETE FROM seihin_t WHERE 精算日時 IS NOT NULL", "権限がありません"},
            {"clerk", "UPDATE seihin_t SET 納入数量 = 99 WHERE 製品伝票番号 = 'paid'",
             "精算済みの伝票 paid"},
            {"clerk", "UPDATE seihin_t SET 備考 = '済' WHERE 製品伝票番号 = 'paid'", "ok"},
            {"clerk", "UPDATE seihin_t SET 納入数量 = 6 WHERE 製品伝票番号 = 'open'", "ok"},
            {"clerk", "DELETE FROM wk_PersonA", "ok"},
            {"clerk", "login E001 pw1", "yes"},
            {"clerk", "login E001 pw2", "no"},
            {"clerk", "login E003 old3", "yes"},
            {"clerk", "login E003 old3", "yes"},
            {"clerk", "password E001 new1", "このユーザーでは変更できません"},
            {"clerk", "password E002 new2", "ok"},
            {"clerk", "login E002 new2", "yes"},
            {"clerk", "settle", "権限がありません"},
            {"owner", "SELECT 社員コード FROM syain_m WHERE パスワード LIKE 'old%'", "ok: 0"},
            {"owner", "UPDATE seihin_t SET 納入数量 = 9 WHERE 製品伝票番号 = 'paid'", "ok"},
            {"owner", "settle", "ok: 1"}};
        QString role;
        for (const auto& [who, what, expected] : cases) {
            const QStringList w = what.split(' ');
            QString got;
            try {
                if (who != role || w[0] == "open") {
                    role.clear();
                    openDatabase(who == "clerk" ? t.path() + " user=" + clerk : t.path());
                    role = who;
                }
                if (w[0] == "open") {
                    got = "ok: " + QString::number(Schema::version(gCon()));
                } else if (w[0] == "login") {
                    got = loginPasswordMatches(w[1], w[2]) ? "yes" : "no";
                } else if (w[0] == "password") {
                    storeEmployeePassword(w[1], w[2]);
                    got = "ok";
                } else if (w[0] == "settle") {
                    const SettlementResult r = RunSettlement(
                        {QDate(2026, 3, 1), QDate(2026, 3, 31), {}, {}, "E001", true});
                    got = "ok: " + QString::number(r.workers.size());
                } else if (w[0] == "SELECT") {
                    SqlQuery q(what);
                    int n = 0;
                    for (q.exec(); q.next();)
                        ++n;
                    got = "ok: " + QString::number(n);
                } else {
                    execSql(what);
                    got = "ok";
                }
            } catch (const AppError& e) {
                got = e.text();
            }
            QVERIFY2(got.startsWith(expected) || (expected != "ok" && got.contains(expected)),
                     qPrintable(who + " " + what + " → " + got));
        }
        execSql(QStringLiteral("DROP OWNED BY %1").arg(clerk));
        execSql(QStringLiteral("DROP ROLE %1").arg(clerk));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestServerRoles test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_server_roles.moc"
