#include "backup/damagecheck.h"

#include "core/apperror.h"
#include "core/schema.h"
#include "core/sqlquery.h"

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
    QStringList found;
    try {
        SqlQuery q(db, kDamage);
        q.exec();
        const QString column = q.columns().value(0);
        while (q.next())
            found << q.str(column);
        found.removeAll(QStringLiteral("ok"));
        // A page that cannot be read stops a scan of its table: reading
        // every row finds what the catalogue cannot know.
        const QStringList missing = missingTables(db); // named by the schema check
        for (const Schema::Table& t : Schema::tables()) {
            const QString table = QString::fromUtf8(t.name);
            if (missing.contains(table))
                continue;
            // Table names come from the schema, never from input.
            SqlQuery rows(db, QStringLiteral("SELECT count(*) AS n FROM ") + table);
            rows.exec();
        }
    } catch (const DbError& e) {
        found << e.text();
    }
    if (found.isEmpty())
        return {};
    const qsizetype more = found.size() - kShown;
    found = found.mid(0, kShown);
    if (more > 0)
        found << QStringLiteral("ほか %1 件").arg(more);
    found.prepend(QStringLiteral("データベースが壊れています。バックアップから戻して下さい: %1")
                      .arg(shownPath));
    return {found.join(QLatin1Char('\n'))};
}
