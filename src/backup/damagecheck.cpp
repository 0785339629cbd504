#include "backup/damagecheck.h"

#include "core/apperror.h"
#include "core/schema.h"
#include "core/sqlquery.h"

#include <algorithm>

namespace {

// One row "ok" when sound, else one row per problem, on either engine.
const EngineSql kDamage = {
    "PRAGMA integrity_check",
    "SELECT 'インデックス ' || c.relname || ' が使えない状態です（REINDEX が必要です）' AS problem"
    " FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid"
    " WHERE c.relnamespace = current_schema()::regnamespace"
    " AND NOT (i.indisvalid AND i.indisready AND i.indislive)"
    " UNION ALL SELECT '制約 ' || conname || ' が検査されていません' FROM pg_constraint"
    " WHERE connamespace = current_schema()::regnamespace AND NOT convalidated"};

constexpr int kShown = 5; // problems named; the rest are counted

} // namespace

QStringList damageOf(const QSqlDatabase& db, const QString& shownPath) {
    QStringList named;
    int unnamed = 0;
    try {
        SqlQuery q(db, kDamage);
        q.exec();
        const QString column = q.columns().value(0);
        while (q.next()) {
            const QString problem = q.str(column);
            // The engine's own lines are English: counted, not shown.
            if (problem == QLatin1String("ok"))
                continue;
            if (std::all_of(problem.cbegin(), problem.cend(),
                            [](QChar c) { return c.unicode() < 0x80; }))
                unnamed += int(problem.count(QLatin1Char('\n')) + 1);
            else
                named << problem;
        }
        // A page that cannot be read stops a scan of its table: reading
        // every row finds what the catalogue cannot know.
        const QStringList missing = missingTables(db); // named by the schema check
        for (const Schema::Table& t : Schema::tables()) {
            const QString table = QString::fromUtf8(t.name);
            if (named.isEmpty() && unnamed == 0 && !missing.contains(table)) {
                // Table names come from the schema, never from input.
                SqlQuery rows(db, QStringLiteral("SELECT count(*) AS n FROM ") + table);
                rows.exec();
            }
        }
    } catch (const DbError& e) {
        named << e.text();
    }
    if (named.isEmpty() && unnamed == 0)
        return {};
    const qsizetype more = named.size() - kShown;
    named = named.mid(0, kShown);
    if (more > 0)
        named << QStringLiteral("ほか %1 件").arg(more);
    if (unnamed > 0)
        named << QStringLiteral("（整合性検査で見つかった問題: %1 件）").arg(unnamed);
    named.prepend(QStringLiteral("データベースが壊れています。バックアップから戻して下さい: %1")
                      .arg(shownPath));
    return {named.join(QLatin1Char('\n'))};
}
