#include "core/sqlitehandle.h"

#include "core/apperror.h"
#include "core/sqlfailure.h"

#include <QFile>

#include <sqlite3.h>

namespace {

const QString kCannotRead = QStringLiteral("データベースを読めません。");

[[noreturn]] void failWith(int code, const QString& what, const QString& path,
                           const QString& message) {
    throw AppError(what + QLatin1Char('\n') + describeSqliteCode(code, message, path));
}

} // namespace

SqliteHandle::SqliteHandle(const QString& path, int flags, const QString& shownPath)
    : m_path(shownPath.isEmpty() ? path : shownPath) {
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        failWith(rc, QStringLiteral("データベースを開けません。"), m_path, QString());
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

SqliteHandle::~SqliteHandle() {
    sqlite3_close_v2(m_db);
}

void SqliteHandle::exec(const char* sql) {
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(kCannotRead);
}

QStringList SqliteHandle::column(const QByteArray& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        fail(kCannotRead);
    QStringList values;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        fail(kCannotRead);
    return values;
}

void SqliteHandle::fail(const QString& what, int code) const {
    failWith(code ? code : sqlite3_extended_errcode(m_db), what, m_path,
             QString::fromUtf8(sqlite3_errmsg(m_db)));
}
