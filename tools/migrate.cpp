#include "migrate.h"

#include "core/apperror.h"
#include "core/schema.h"
#include "core/sideconnection.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"
#include "core/sqlvalues.h"

#include <QFileInfo>
#include <QMap>
#include <QSqlDatabase>

namespace {

bool isDateColumn(const Schema::Column& c) {
    return qstrcmp(c.pgType, "date") == 0 || qstrncmp(c.pgType, "timestamp", 9) == 0;
}

// A stored value as the server takes it: empty text in a date column, which
// the file tolerated, is no date.
QVariant forServer(const Schema::Column& c, const QVariant& v) {
    if (isDateColumn(c) && v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
        return QVariant(QMetaType::fromType<QString>());
    return v;
}

qint64 copyTable(const QSqlDatabase& from, const QSqlDatabase& to, const Schema::Table& t) {
    QStringList names;
    for (const Schema::Column& c : t.columns)
        names << QString::fromUtf8(c.name);
    const QString list = names.join(QStringLiteral(", "));
    const QString table = QString::fromUtf8(t.name);
    SqlQuery read(from, QStringLiteral("SELECT %1 FROM %2").arg(list, table));
    QStringList marks(names.size(), QStringLiteral("?"));
    SqlQuery write(to, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                           .arg(table, list, marks.join(QStringLiteral(", "))));
    read.exec();
    qint64 rows = 0;
    while (read.next()) {
        for (const Schema::Column& c : t.columns)
            write.bind(forServer(c, read.value(QString::fromUtf8(c.name))));
        try {
            write.exec();
        } catch (const DbError& e) {
            throw DbError(QStringLiteral("%1 の %2 行目を移せません。\n%3")
                              .arg(table)
                              .arg(rows + 1)
                              .arg(e.text()));
        }
        ++rows;
    }
    return rows;
}

qint64 count(const QSqlDatabase& db, const QString& table) {
    SqlQuery q(db, QStringLiteral("SELECT COUNT(*) AS n FROM %1").arg(table));
    q.exec();
    return q.next() ? q.integer(QStringLiteral("n")) : 0;
}

// Settled amounts grouped by one column, keyed by its text (a run's time
// stamp in the stored form, whatever its type on the server).
QMap<QString, QString> totalsBy(const QSqlDatabase& db, const QString& column) {
    SqlQuery q(db, QStringLiteral("SELECT %1 AS k, COUNT(*) AS n, SUM(精算金額) AS a,"
                                  " SUM(消費税) AS t, SUM(合計金額) AS g FROM seisan_t"
                                  " GROUP BY %1")
                       .arg(column));
    q.exec();
    QMap<QString, QString> totals;
    while (q.next()) {
        QString key = q.str(QStringLiteral("k"));
        if (const QDateTime t = SqlValue::toDateTime(q.value(QStringLiteral("k"))); t.isValid())
            key = SqlValue::dateTimeText(t);
        else if (const QDate d = SqlValue::toDate(q.value(QStringLiteral("k"))); d.isValid())
            key = SqlValue::dateTimeText(QDateTime(d, QTime(0, 0)));
        totals.insert(key, QStringLiteral("%1 件 %2 円 税 %3 円 計 %4 円")
                               .arg(q.integer(QStringLiteral("n")))
                               .arg(q.integer(QStringLiteral("a")))
                               .arg(q.integer(QStringLiteral("t")))
                               .arg(q.integer(QStringLiteral("g"))));
    }
    return totals;
}

void compare(Migrate::Report& report, const QString& what, const QString& source,
             const QString& target) {
    const bool same = source == target;
    report.lines << QStringLiteral("%1\t%2\t%3\t%4")
                        .arg(what, source, target,
                             same ? QStringLiteral("一致") : QStringLiteral("不一致"));
    report.agrees = report.agrees && same;
}

} // namespace

namespace Migrate {

Report run(const QString& sqlitePath, const QString& dsn) {
    if (!isServerDatabase(dsn))
        throw AppError(
            QStringLiteral("移行先には PostgreSQL の DSN を指定して下さい: %1").arg(dsn));
    if (!QFileInfo(sqlitePath).isFile())
        throw AppError(
            QStringLiteral("移行元のデータベースファイルが見つかりません: %1").arg(sqlitePath));
    const SideConnection source(sqlitePath, SideConnection::Open::AsProgram);
    const SideConnection target(dsn, SideConnection::Open::Write);

    const QStringList missing = missingTables(target.db());
    if (missing.size() == Schema::tables().size())
        Schema::create(target.db());
    else if (!missing.isEmpty())
        throw AppError(QStringLiteral("移行先にテーブルが一部しかありません: %1")
                           .arg(missing.join(QStringLiteral(", "))));
    {
        SqlTransaction tx(target.db());
        for (const Schema::Table& t : Schema::tables()) {
            if (count(target.db(), QString::fromUtf8(t.name)) > 0)
                throw AppError(
                    QStringLiteral("移行先のデータベースは空ではありません（%1 に行があります）。"
                                   "空のデータベースを指定して下さい。")
                        .arg(QString::fromUtf8(t.name)));
        }
        for (const Schema::Table& t : Schema::tables())
            copyTable(source.db(), target.db(), t);
        tx.commit();
    }

    Report report;
    report.agrees = true;
    for (const Schema::Table& t : Schema::tables()) {
        const QString table = QString::fromUtf8(t.name);
        compare(report, QStringLiteral("行数 %1").arg(table),
                QString::number(count(source.db(), table)),
                QString::number(count(target.db(), table)));
    }
    for (const QString& column : {QStringLiteral("内職者コード"), QStringLiteral("精算日時")}) {
        const QMap<QString, QString> from = totalsBy(source.db(), column);
        const QMap<QString, QString> to = totalsBy(target.db(), column);
        QStringList keys = from.keys() + to.keys();
        keys.removeDuplicates();
        keys.sort();
        for (const QString& key : std::as_const(keys))
            compare(report, QStringLiteral("精算 %1 %2").arg(column, key), from.value(key),
                    to.value(key));
    }
    return report;
}

} // namespace Migrate
