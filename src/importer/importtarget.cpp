#include "importer/importtarget.h"

#include "core/apperror.h"
#include "core/database.h"
#include "core/passwordhash.h"
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
    SqlQuery::releaseStatements(m_db);
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    if (m_created)
        QFile::remove(m_path);
}

int ImportTarget::write(const ImportData& data) {
    SqlTransaction tx(m_db);
    int hashed = 0;
    for (const ConvertedTable& t : data.tables) {
        QStringList names, marks;
        for (const OldTables::Column& c : t.table->columns) {
            names << c.name;
            marks << QStringLiteral("?");
        }
        SqlQuery insert(m_db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(t.table->name, names.join(QLatin1Char(',')),
                                       marks.join(QLatin1Char(','))));
        // The old program kept passwords in clear; they are stored hashed.
        const qsizetype password = t.table->name == QLatin1String("syain_m")
                                       ? names.indexOf(QStringLiteral("パスワード"))
                                       : -1;
        for (qsizetype r = 0; r < t.rows.size(); ++r) {
            if (!t.accepted.at(r))
                continue;
            QVariantList row = t.rows.at(r);
            if (password >= 0 && !row.at(password).toString().isEmpty()) {
                row[password] = PasswordHash::make(row.at(password).toString());
                ++hashed;
            }
            for (const QVariant& v : row)
                insert.bind(v);
            insert.exec();
        }
    }
    tx.commit();
    return hashed;
}
