#include "importer/importtarget.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/schema.h"
#include "core/sqlquery.h"
#include "core/sqltransaction.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>

namespace {

const QString kConnection = QStringLiteral("tarvel_import");

// True when every table is there and empty; false when the file holds no
// table at all (a new or zero-length file). Throws AppError otherwise.
bool hasEmptyTables(const QSqlDatabase& db, const QString& path) {
    QStringList missing;
    try {
        missing = missingTables(db);
    } catch (const DbError&) {
        throw AppError(QStringLiteral("取り込み先 %1 はデータベースファイルではありません。"
                                      "新しいファイル名を指定してください。")
                           .arg(path));
    }
    if (missing.size() == Schema::tables().size())
        return false;
    const QString notEmpty = QStringLiteral("取り込み先 %1 には既にデータがあります。上書きは"
                                            "しません。新しいファイル名を指定してください。")
                                 .arg(path);
    if (!missing.isEmpty())
        throw AppError(notEmpty);
    for (const Schema::Table& t : Schema::tables()) {
        SqlQuery q(db,
                   QStringLiteral("SELECT count(*) AS n FROM %1").arg(QString::fromUtf8(t.name)));
        q.exec();
        if (q.next() && q.integer(QStringLiteral("n")) > 0)
            throw AppError(notEmpty);
    }
    return true;
}

} // namespace

void ImportTarget::requireEmpty(const QString& path) {
    if (path.trimmed().isEmpty())
        throw AppError(QStringLiteral("取り込み先のデータベースファイルを指定してください。"));
    const QFileInfo info(path);
    if (!info.exists())
        return;
    if (!info.isFile())
        throw AppError(QStringLiteral("取り込み先 %1 はファイルではありません。新しいファイル名を"
                                      "指定してください。")
                           .arg(path));
    if (info.size() == 0)
        return;
    withFileConnection(kConnection + QStringLiteral("_check"), path,
                       QStringLiteral("QSQLITE_OPEN_READONLY"), [&path](QSqlDatabase& db) {
                           if (!db.open())
                               throw DbError(describeOpenError(db.lastError(), path));
                           hasEmptyTables(db, path);
                       });
}

ImportTarget::ImportTarget(const QString& path) : m_path(path), m_connection(kConnection) {
    m_created = !QFileInfo::exists(path);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    m_db.setDatabaseName(path);
    try {
        if (!m_db.open())
            throw DbError(describeOpenError(m_db.lastError(), path));
        if (!hasEmptyTables(m_db, path))
            Schema::create(m_db);
    } catch (...) {
        close();
        throw;
    }
}

ImportTarget::~ImportTarget() {
    close();
}

void ImportTarget::close() {
    if (!m_db.isValid())
        return;
    m_insert.reset();
    m_transaction.reset(); // rolls back what was not committed
    SqlQuery::releaseStatements(m_db);
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    if (m_created)
        QFile::remove(m_path);
}

void ImportTarget::begin() {
    m_transaction = std::make_unique<SqlTransaction>(m_db);
}

void ImportTarget::insert(const OldTables::Table& table, const QVariantList& values) {
    if (m_insertTable != &table) {
        QStringList names, marks;
        for (const OldTables::Column& c : table.columns) {
            names << c.name;
            marks << QStringLiteral("?");
        }
        m_insert = std::make_unique<SqlQuery>(
            m_db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table.name, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        m_insertTable = &table;
    }
    for (const QVariant& v : values)
        m_insert->bind(v);
    m_insert->exec();
}

void ImportTarget::commit() {
    m_insert.reset();
    m_insertTable = nullptr;
    m_transaction->commit();
    m_transaction.reset();
}
