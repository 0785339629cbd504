#include "core/sqldialect.h"

#include "core/apperror.h"
#include "core/pgconnection.h"

#include <QRegularExpression>

SqlEngine engineOf(const QSqlDatabase& db) {
    // A lost server connection reads as not open; it is still the server's,
    // and its next statement connects again.
    if (PgConnection::currentHandle(db) != nullptr)
        return SqlEngine::Postgres;
    if (!db.isOpen())
        throw DbError(QStringLiteral("データベースが開かれていません。"));
    return SqlEngine::Sqlite;
}

bool isServerDatabase(const QString& database) {
    const QString t = database.trimmed();
    return t.startsWith(QLatin1String("postgresql://")) ||
           t.startsWith(QLatin1String("postgres://")) ||
           QRegularExpression(QStringLiteral("^[a-z_]+\\s*=")).match(t).hasMatch();
}

bool isServerDatabase(const QSqlDatabase& db) {
    return engineOf(db) == SqlEngine::Postgres;
}
