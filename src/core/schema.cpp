#include "core/schema.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/employeepassword.h"
#include "core/sideconnection.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"

#include <QSet>
#include <QSqlError>

namespace {

using Schema::Column;
using Schema::Table;

// The work tables hold what reports print, as text; only the tables of
// record get a server's date and number types.
const QList<Table> kTables = {
    {"syain_m",
     {{"社員コード", "TEXT", "text"},
      {"氏名", "TEXT", "text"},
      {"パスワード", "TEXT", "text"},
      {"備考", "TEXT", "text"},
      {"最終更新日時", "TEXT", "timestamp(0) without time zone"},
      {"削除フラグ", "INTEGER", "integer"}}},
    {"zuban_m",
     {{"製品図番", "TEXT", "text"},
      {"図番名称", "TEXT", "text"},
      {"備考", "TEXT", "text"},
      {"最終更新日時", "TEXT", "timestamp(0) without time zone"},
      {"削除フラグ", "INTEGER", "integer"},
      {"社員コード", "TEXT", "text"}}},
    {"sagyou_m",
     {{"作業コード", "TEXT", "text"},
      {"作業項目", "TEXT", "text"},
      {"備考", "TEXT", "text"},
      {"最終更新日時", "TEXT", "timestamp(0) without time zone"},
      {"削除フラグ", "INTEGER", "integer"},
      {"社員コード", "TEXT", "text"}}},
    {"naishoku_m",
     {{"内職者コード", "TEXT", "text"},
      {"内職者氏名", "TEXT", "text"},
      {"生年月日", "TEXT", "date"},
      {"郵便番号", "TEXT", "text"},
      {"住所", "TEXT", "text"},
      {"電話", "TEXT", "text"},
      {"携帯電話", "TEXT", "text"},
      {"ファックス", "TEXT", "text"},
      {"メールアドレス", "TEXT", "text"},
      {"ランク", "TEXT", "text"},
      {"備考", "TEXT", "text"},
      {"最終更新日時", "TEXT", "timestamp(0) without time zone"},
      {"削除フラグ", "INTEGER", "integer"},
      {"性別", "TEXT", "text"},
      {"作業場所在地", "TEXT", "text"},
      {"支払方法", "INTEGER", "integer"},
      {"銀行コード", "TEXT", "text"},
      {"支店コード", "TEXT", "text"},
      {"預金種目", "INTEGER", "integer"},
      {"口座番号", "TEXT", "text"},
      {"口座名義", "TEXT", "text"}}},
    {"tanka_m",
     {{"単価シリアル", "INTEGER", "bigint"},
      {"製品図番", "TEXT", "text"},
      {"作業コード", "TEXT", "text"},
      {"内職者コード", "TEXT", "text"},
      {"単価", "REAL", "numeric(14,4)"},
      {"備考", "TEXT", "text"},
      {"適用開始日", "TEXT", "date"},
      {"適用終了日", "TEXT", "date"},
      {"最終更新日時", "TEXT", "timestamp(0) without time zone"},
      {"削除フラグ", "INTEGER", "integer"},
      {"社員コード", "TEXT", "text"}}},
    {"seihin_t",
     {{"製品伝票番号", "TEXT", "text"},
      {"製品図番", "TEXT", "text"},
      {"作業コード", "TEXT", "text"},
      {"内職者コード", "TEXT", "text"},
      {"精算単価", "REAL", "numeric(14,4)"},
      {"作業区分", "TEXT", "text"},
      {"払出数量", "INTEGER", "bigint"},
      {"納入数量", "INTEGER", "bigint"},
      {"依頼日", "TEXT", "date"},
      {"納入日", "TEXT", "date"},
      {"管理ロットNo", "TEXT", "text"},
      {"備考", "TEXT", "text"},
      {"精算日時", "TEXT", "timestamp(0) without time zone"},
      {"最終更新日時", "TEXT", "timestamp(0) without time zone"},
      {"削除フラグ", "INTEGER", "integer"},
      {"社員コード", "TEXT", "text"}}},
    {"seisan_t",
     {{"精算日時", "TEXT", "timestamp(0) without time zone"},
      {"内職者コード", "TEXT", "text"},
      {"精算対象開始日", "TEXT", "date"},
      {"精算対象最終日", "TEXT", "date"},
      {"精算対象伝票枚数", "INTEGER", "integer"},
      {"精算金額", "INTEGER", "bigint"},
      {"消費税", "INTEGER", "bigint"},
      {"合計金額", "INTEGER", "bigint"},
      {"備考", "TEXT", "text"},
      {"最終更新日時", "TEXT", "timestamp(0) without time zone"},
      {"削除フラグ", "INTEGER", "integer"},
      {"社員コード", "TEXT", "text"}}},
    {"wk_PersonA",
     {{"精算日時", "TEXT", "text"},
      {"内職者コード", "TEXT", "text"},
      {"精算日", "TEXT", "text"},
      {"内職者名", "TEXT", "text"},
      {"依頼日", "TEXT", "text"},
      {"製品図番", "TEXT", "text"},
      {"作業コード", "TEXT", "text"},
      {"作業項目", "TEXT", "text"},
      {"単価", "TEXT", "text"},
      {"払出数", "TEXT", "text"},
      {"金額小計", "TEXT", "text"}}},
    {"wk_PnoAccount",
     {{"精算日", "TEXT", "text"},
      {"製品図番区分", "TEXT", "text"},
      {"精算金額", "INTEGER", "numeric"},
      {"個数", "INTEGER", "bigint"}}},
};

// Keys, by table; the work tables have none.
const QHash<QString, QString> kPrimaryKeys = {
    {"syain_m", "社員コード"},
    {"zuban_m", "製品図番"},
    {"sagyou_m", "作業コード"},
    {"naishoku_m", "内職者コード"},
    {"tanka_m", "単価シリアル"},
    {"seihin_t", "製品伝票番号"},
    {"seisan_t", "精算日時, 内職者コード"},
};

// The price in force of a slip is the last line of its combination by start
// date and serial: with both in the key and the price beside them, a
// look-up reads one index entry and never the table.
const EngineSql kPriceIndex = {
    "CREATE INDEX tanka_m_combination ON tanka_m"
    " (製品図番, 作業コード, 内職者コード, 適用開始日, 単価シリアル, 単価, 削除フラグ)",
    "CREATE INDEX tanka_m_combination ON tanka_m"
    " (製品図番, 作業コード, 内職者コード, 適用開始日, 単価シリアル) INCLUDE (単価, 削除フラグ)"};

// Indexes for the lookups, the slip lists and settlement.
const QStringList kIndexes = {
    "CREATE INDEX seihin_t_person_delivery ON seihin_t (内職者コード, 納入日)",
    "CREATE INDEX seihin_t_delivery ON seihin_t (納入日)",
    "CREATE INDEX seihin_t_request ON seihin_t (依頼日)",
    "CREATE INDEX seihin_t_settlement ON seihin_t (精算日時, 内職者コード)",
    "CREATE INDEX seisan_t_person ON seisan_t (内職者コード)",
};

// The home-worker's sex and workplace for the ledger the Home Work Act asks for.
const QList<Schema::Upgrade> kUpgrades = {
    {2,
     {{"ALTER TABLE naishoku_m ADD COLUMN 性別 TEXT",
       "ALTER TABLE naishoku_m ADD COLUMN 性別 text"},
      {"ALTER TABLE naishoku_m ADD COLUMN 作業場所在地 TEXT",
       "ALTER TABLE naishoku_m ADD COLUMN 作業場所在地 text"}}},
    // Passwords become hashes; a file needs nothing (clear ones are replaced
    // at their next login), a server the functions the clerks' role logs in by.
    {3,
     [] {
         QList<EngineSql> steps;
         for (const QString& sql : serverPasswordFunctions())
             steps << EngineSql{QStringLiteral("SELECT 1"), sql};
         return steps;
     }()},
    // How a home-worker is paid, and the account for paying by transfer.
    {4,
     {{"ALTER TABLE naishoku_m ADD COLUMN 支払方法 INTEGER",
       "ALTER TABLE naishoku_m ADD COLUMN 支払方法 integer"},
      {"ALTER TABLE naishoku_m ADD COLUMN 銀行コード TEXT",
       "ALTER TABLE naishoku_m ADD COLUMN 銀行コード text"},
      {"ALTER TABLE naishoku_m ADD COLUMN 支店コード TEXT",
       "ALTER TABLE naishoku_m ADD COLUMN 支店コード text"},
      {"ALTER TABLE naishoku_m ADD COLUMN 預金種目 INTEGER",
       "ALTER TABLE naishoku_m ADD COLUMN 預金種目 integer"},
      {"ALTER TABLE naishoku_m ADD COLUMN 口座番号 TEXT",
       "ALTER TABLE naishoku_m ADD COLUMN 口座番号 text"},
      {"ALTER TABLE naishoku_m ADD COLUMN 口座名義 TEXT",
       "ALTER TABLE naishoku_m ADD COLUMN 口座名義 text"}}},
    {5,
     {{"DROP INDEX IF EXISTS tanka_m_combination", "DROP INDEX IF EXISTS tanka_m_combination"},
      kPriceIndex}},
};

// The catalogue's column names and types, both engines' forms side by side.
const EngineSql kColumnsSql = {
    "SELECT name, type FROM pragma_table_info(?)",
    "SELECT a.attname AS name, format_type(a.atttypid, a.atttypmod) AS type"
    " FROM pg_attribute a WHERE a.attrelid = to_regclass(CAST(? AS text))"
    " AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"};
const EngineSql kTablesSql = {"SELECT name FROM sqlite_master WHERE type = 'table'",
                              "SELECT table_name AS name FROM information_schema.tables"
                              " WHERE table_schema = current_schema()"};
// Tables the user may not read at all; a file has no such rights. What a
// clerks' role may not write is refused by the server when it is tried.
const EngineSql kWithoutRightsSql = {
    "SELECT name FROM sqlite_master WHERE 0",
    "SELECT c.relname AS name FROM pg_class c"
    " WHERE c.relnamespace = to_regnamespace(current_schema()) AND c.relkind = 'r'"
    " AND NOT has_any_column_privilege(c.oid, 'SELECT')"};
// The schema version: SQLite's user_version, a comment on syain_m on a server
// (a setting of the database would need its owner at every upgrade).
const EngineSql kVersionSql = {
    "PRAGMA user_version",
    "SELECT CAST(COALESCE(substring(obj_description(to_regclass('syain_m'), 'pg_class')"
    " FROM 'schema ([0-9]+)'), '0') AS integer) AS user_version"};
const EngineSql kSetVersionSql = {"PRAGMA user_version = %1",
                                  "COMMENT ON TABLE syain_m IS 'Tarvel schema %1'"};
// Whether the user may change the schema: on a server only the tables'
// owner (or a member of the owning role) may.
const EngineSql kMayChangeSql = {"SELECT 1 AS may",
                                 "SELECT pg_has_role(c.relowner, 'USAGE') AS may FROM pg_class c"
                                 " WHERE c.oid = to_regclass('syain_m')"};

QString createTableSql(const Table& table, SqlEngine engine) {
    QStringList parts;
    for (const Column& c : table.columns) {
        QString def = QStringLiteral("%1 %2").arg(
            QString::fromUtf8(c.name),
            QString::fromUtf8(engine == SqlEngine::Postgres ? c.pgType : c.type));
        if (QString::fromUtf8(c.name) == QStringLiteral("削除フラグ"))
            def += QStringLiteral(" NOT NULL DEFAULT 0");
        parts << def;
    }
    const QString key = kPrimaryKeys.value(QString::fromUtf8(table.name));
    if (!key.isEmpty())
        parts << QStringLiteral("PRIMARY KEY (%1)").arg(key);
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(QString::fromUtf8(table.name), parts.join(QStringLiteral(", ")));
}

QStringList columnsOf(const QSqlDatabase& db, const QString& table,
                      QHash<QString, QString>* types) {
    SqlQuery q(db, kColumnsSql);
    q.bind(table).exec();
    QStringList names;
    // Names compare without case: a server folds unquoted ones (管理ロットno).
    while (q.next()) {
        const QString name = q.str(QStringLiteral("name")).toLower();
        names << name;
        if (types)
            types->insert(name, q.str(QStringLiteral("type")).toUpper());
    }
    return names;
}

} // namespace

namespace Schema {

const QList<Table>& tables() {
    return kTables;
}

void create(const QSqlDatabase& db) {
    SqlTransaction tx(db);
    createWithin(db);
    tx.commit();
}

void createWithin(const QSqlDatabase& db) {
    for (const Table& t : kTables)
        execSql(db, createTableSql(t, engineOf(db)));
    execSql(db, kPriceIndex.on(db));
    for (const QString& sql : kIndexes)
        execSql(db, sql);
    if (engineOf(db) == SqlEngine::Postgres)
        for (const QString& sql : serverPasswordFunctions())
            execSql(db, sql);
    setVersion(db, kVersion);
}

const QList<Upgrade>& upgrades() {
    return kUpgrades;
}

int upgrade(const QSqlDatabase& db) {
    int applied = 0;
    if (version(db) >= kVersion)
        return applied;
    for (const Upgrade& step : kUpgrades) {
        SqlTransaction tx(db);
        // Read inside the write transaction: another copy of the program
        // opening the same database at once finds the step done.
        if (version(db) >= step.version)
            continue;
        for (const EngineSql& statement : step.statements)
            execSql(db, statement.on(db));
        setVersion(db, step.version);
        tx.commit();
        ++applied;
    }
    return applied;
}

int version(const QSqlDatabase& db) {
    SqlQuery v(db, kVersionSql);
    v.exec();
    return v.next() ? int(v.integer(QStringLiteral("user_version"))) : 0;
}

bool mayUpgrade(const QSqlDatabase& db) {
    SqlQuery q(db, kMayChangeSql);
    q.exec();
    return q.next() && q.integer(QStringLiteral("may")) != 0;
}

void setVersion(const QSqlDatabase& db, int version) {
    // Neither statement takes a bound value; the number is the program's own.
    execSql(db, kSetVersionSql.on(db).arg(version));
}

void createFile(const QString& path) {
    const SideConnection file(path, SideConnection::Open::Write);
    create(file.db());
}

QStringList check(const QSqlDatabase& db) {
    QStringList problems;
    const QStringList missing = missingTables(db);
    for (const QString& t : missing)
        problems << QStringLiteral("テーブルがありません: %1").arg(t);
    for (const Table& t : kTables) {
        const QString name = QString::fromUtf8(t.name);
        if (missing.contains(name))
            continue;
        QHash<QString, QString> types;
        const QStringList have = columnsOf(db, name, &types);
        for (const Column& c : t.columns) {
            const QString col = QString::fromUtf8(c.name);
            const QString key = col.toLower();
            const QString expected =
                QString::fromUtf8(engineOf(db) == SqlEngine::Postgres ? c.pgType : c.type)
                    .toUpper();
            if (!have.contains(key))
                problems << QStringLiteral("列がありません: %1.%2").arg(name, col);
            else if (types.value(key) != expected)
                problems << QStringLiteral("列の型が違います: %1.%2 (%3, 期待値 %4)")
                                .arg(name, col, types.value(key), expected);
        }
    }
    if (const int v = version(db); v != kVersion)
        problems << QStringLiteral("スキーマの版が違います: %1 (期待値 %2)").arg(v).arg(kVersion);
    return problems;
}

} // namespace Schema

namespace {

// Of the nine tables, those that the statement names. A server folds the
// unquoted names to lower case (wk_persona).
QStringList tablesNamedBy(const QSqlDatabase& db, const EngineSql& sql) {
    SqlQuery q(db, sql);
    q.exec();
    QSet<QString> named;
    while (q.next())
        named.insert(q.str(QStringLiteral("name")).toLower());
    QStringList tables;
    for (const Table& t : kTables)
        if (named.contains(QString::fromUtf8(t.name).toLower()))
            tables << QString::fromUtf8(t.name);
    return tables;
}

} // namespace

QStringList missingTables(const QSqlDatabase& db) {
    const QStringList have = tablesNamedBy(db, kTablesSql);
    QStringList missing;
    for (const Table& t : kTables)
        if (!have.contains(QString::fromUtf8(t.name)))
            missing << QString::fromUtf8(t.name);
    return missing;
}

QStringList tablesWithoutRights(const QSqlDatabase& db) {
    return tablesNamedBy(db, kWithoutRightsSql);
}
