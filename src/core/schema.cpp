#include "core/schema.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"

#include <QSet>
#include <QSqlError>

namespace {

using Schema::Column;
using Schema::Table;

const QList<Table> kTables = {
    {"syain_m",
     {{"社員コード", "TEXT"},
      {"氏名", "TEXT"},
      {"パスワード", "TEXT"},
      {"備考", "TEXT"},
      {"最終更新日時", "TEXT"},
      {"削除フラグ", "INTEGER"}}},
    {"zuban_m",
     {{"製品図番", "TEXT"},
      {"図番名称", "TEXT"},
      {"備考", "TEXT"},
      {"最終更新日時", "TEXT"},
      {"削除フラグ", "INTEGER"},
      {"社員コード", "TEXT"}}},
    {"sagyou_m",
     {{"作業コード", "TEXT"},
      {"作業項目", "TEXT"},
      {"備考", "TEXT"},
      {"最終更新日時", "TEXT"},
      {"削除フラグ", "INTEGER"},
      {"社員コード", "TEXT"}}},
    {"naishoku_m",
     {{"内職者コード", "TEXT"},
      {"内職者氏名", "TEXT"},
      {"生年月日", "TEXT"},
      {"郵便番号", "TEXT"},
      {"住所", "TEXT"},
      {"電話", "TEXT"},
      {"携帯電話", "TEXT"},
      {"ファックス", "TEXT"},
      {"メールアドレス", "TEXT"},
      {"ランク", "TEXT"},
      {"備考", "TEXT"},
      {"最終更新日時", "TEXT"},
      {"削除フラグ", "INTEGER"},
      {"性別", "TEXT"},
      {"作業場所在地", "TEXT"}}},
    {"tanka_m",
     {{"単価シリアル", "INTEGER"},
      {"製品図番", "TEXT"},
      {"作業コード", "TEXT"},
      {"内職者コード", "TEXT"},
      {"単価", "REAL"},
      {"備考", "TEXT"},
      {"適用開始日", "TEXT"},
      {"適用終了日", "TEXT"},
      {"最終更新日時", "TEXT"},
      {"削除フラグ", "INTEGER"},
      {"社員コード", "TEXT"}}},
    {"seihin_t",
     {{"製品伝票番号", "TEXT"},
      {"製品図番", "TEXT"},
      {"作業コード", "TEXT"},
      {"内職者コード", "TEXT"},
      {"精算単価", "REAL"},
      {"作業区分", "TEXT"},
      {"払出数量", "INTEGER"},
      {"納入数量", "INTEGER"},
      {"依頼日", "TEXT"},
      {"納入日", "TEXT"},
      {"管理ロットNo", "TEXT"},
      {"備考", "TEXT"},
      {"精算日時", "TEXT"},
      {"最終更新日時", "TEXT"},
      {"削除フラグ", "INTEGER"},
      {"社員コード", "TEXT"}}},
    {"seisan_t",
     {{"精算日時", "TEXT"},
      {"内職者コード", "TEXT"},
      {"精算対象開始日", "TEXT"},
      {"精算対象最終日", "TEXT"},
      {"精算対象伝票枚数", "INTEGER"},
      {"精算金額", "INTEGER"},
      {"消費税", "INTEGER"},
      {"合計金額", "INTEGER"},
      {"備考", "TEXT"},
      {"最終更新日時", "TEXT"},
      {"削除フラグ", "INTEGER"},
      {"社員コード", "TEXT"}}},
    {"wk_PersonA",
     {{"精算日時", "TEXT"},
      {"内職者コード", "TEXT"},
      {"精算日", "TEXT"},
      {"内職者名", "TEXT"},
      {"依頼日", "TEXT"},
      {"製品図番", "TEXT"},
      {"作業コード", "TEXT"},
      {"作業項目", "TEXT"},
      {"単価", "TEXT"},
      {"払出数", "TEXT"},
      {"金額小計", "TEXT"}}},
    {"wk_PnoAccount",
     {{"精算日", "TEXT"}, {"製品図番区分", "TEXT"}, {"精算金額", "INTEGER"}, {"個数", "INTEGER"}}},
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

// Indexes for the lookups, the price search, the slip lists and settlement.
const QStringList kIndexes = {
    "CREATE INDEX tanka_m_combination ON tanka_m (製品図番, 作業コード, 内職者コード, 適用開始日)",
    "CREATE INDEX seihin_t_person_delivery ON seihin_t (内職者コード, 納入日)",
    "CREATE INDEX seihin_t_delivery ON seihin_t (納入日)",
    "CREATE INDEX seihin_t_request ON seihin_t (依頼日)",
    "CREATE INDEX seihin_t_settlement ON seihin_t (精算日時, 内職者コード)",
    "CREATE INDEX seisan_t_person ON seisan_t (内職者コード)",
};

// The home-worker's sex and workplace for the ledger the Home Work Act asks for.
const QList<Schema::Upgrade> kUpgrades = {
    {2,
     {{"ALTER TABLE naishoku_m ADD COLUMN 性別 TEXT"},
      {"ALTER TABLE naishoku_m ADD COLUMN 作業場所在地 TEXT"}}},
};

int userVersion(const QSqlDatabase& db) {
    SqlQuery v(db, QStringLiteral("PRAGMA user_version"));
    v.exec();
    return v.next() ? int(v.integer(QStringLiteral("user_version"))) : 0;
}

QString createTableSql(const Table& table) {
    QStringList parts;
    for (const Column& c : table.columns) {
        QString def =
            QStringLiteral("%1 %2").arg(QString::fromUtf8(c.name), QString::fromUtf8(c.type));
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
    // PRAGMA takes no bound parameters; the name comes from the fixed list above.
    SqlQuery q(db, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    q.bind(table).exec();
    QStringList names;
    while (q.next()) {
        names << q.str(QStringLiteral("name"));
        if (types)
            types->insert(q.str(QStringLiteral("name")), q.str(QStringLiteral("type")).toUpper());
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
    for (const Table& t : kTables)
        execSql(db, createTableSql(t));
    for (const QString& sql : kIndexes)
        execSql(db, sql);
    execSql(db, QStringLiteral("PRAGMA user_version = %1").arg(kVersion));
    tx.commit();
}

const QList<Upgrade>& upgrades() {
    return kUpgrades;
}

int upgrade(const QSqlDatabase& db) {
    int applied = 0;
    if (userVersion(db) >= kVersion)
        return applied;
    for (const Upgrade& step : kUpgrades) {
        SqlTransaction tx(db);
        // Read inside the write transaction: another copy of the program
        // opening the same file at once finds the step done.
        if (userVersion(db) >= step.version)
            continue;
        for (const Statement& statement : step.statements)
            execSql(db, QString::fromUtf8(statement.sqlite));
        // PRAGMA takes no bound parameters; the number is the program's own.
        execSql(db, QStringLiteral("PRAGMA user_version = %1").arg(step.version));
        tx.commit();
        ++applied;
    }
    return applied;
}

void createFile(const QString& path) {
    const QString name = QStringLiteral("tarvel_create_file");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        const bool opened = db.open();
        try {
            if (!opened)
                throw DbError(describeSqlError(db.lastError()));
            create(db);
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
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
            if (!have.contains(col))
                problems << QStringLiteral("列がありません: %1.%2").arg(name, col);
            else if (types.value(col) != QString::fromUtf8(c.type))
                problems << QStringLiteral("列の型が違います: %1.%2 (%3, 期待値 %4)")
                                .arg(name, col, types.value(col), QString::fromUtf8(c.type));
        }
    }
    if (const int version = userVersion(db); version != kVersion)
        problems
            << QStringLiteral("スキーマの版が違います: %1 (期待値 %2)").arg(version).arg(kVersion);
    return problems;
}

} // namespace Schema

QStringList missingTables(const QSqlDatabase& db) {
    SqlQuery q(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    q.exec();
    QSet<QString> have;
    while (q.next())
        have.insert(q.str(QStringLiteral("name")));
    QStringList missing;
    for (const Table& t : kTables)
        if (!have.contains(QString::fromUtf8(t.name)))
            missing << QString::fromUtf8(t.name);
    return missing;
}
