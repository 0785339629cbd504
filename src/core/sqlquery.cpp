#include "core/sqlquery.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/database.h"
#include "core/pgconnection.h"
#include "core/sqlstatement.h"

#include <QSqlDriver>

namespace {

std::unique_ptr<SqlStatement> prepare(const QSqlDatabase& db, const QString& sql) {
    return engineOf(db) == SqlEngine::Postgres ? preparePgStatement(db, sql)
                                               : prepareSqliteStatement(db, sql);
}

} // namespace

SqlQuery::SqlQuery(const QString& sql) : SqlQuery(gCon(), sql) {}

SqlQuery::SqlQuery(const EngineSql& sql) : SqlQuery(gCon(), sql) {}

SqlQuery::SqlQuery(const QSqlDatabase& db, const EngineSql& sql) : SqlQuery(db, sql.on(db)) {}

SqlQuery::SqlQuery(const QSqlDatabase& db, const QString& sql) : m_stmt(prepare(db, sql)) {
    const QStringList names = m_stmt->columns();
    for (int i = 0; i < names.size(); ++i)
        m_columns.insert(names.at(i), i);
}

SqlQuery::~SqlQuery() = default;

void SqlQuery::releaseStatements(const QSqlDatabase& db) {
    if (!db.isOpen())
        return;
    if (engineOf(db) == SqlEngine::Postgres)
        releasePgStatements(db);
    else
        releaseSqliteStatements(db);
}

SqlQuery& SqlQuery::bind(const QVariant& value) {
    // Half of a surrogate pair is dropped: the encoder would store it as a
    // replacement character the clerk never typed.
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (hasLoneSurrogate(text)) {
            m_values.append(withoutLoneSurrogates(text));
            return *this;
        }
    }
    m_values.append(value);
    return *this;
}

SqlQuery& SqlQuery::exec() {
    const QVariantList values = std::exchange(m_values, {});
    m_stmt->exec(values);
    if (m_columns.isEmpty()) { // PostgreSQL names them with the first result
        const QStringList names = m_stmt->columns();
        for (int i = 0; i < names.size(); ++i)
            m_columns.insert(names.at(i), i);
    }
    return *this;
}

bool SqlQuery::next() {
    return m_stmt->next();
}

int SqlQuery::columnIndex(const QString& column) const {
    // Callers name the same columns row after row with the same strings: the
    // same text at the same address is the same column, found without
    // hashing a name for every value. Each entry holds a reference to its
    // text, so that address cannot be given to another string meanwhile.
    for (const NamedColumn& c : m_namedColumns) {
        if (c.name.constData() == column.constData() && c.name.size() == column.size())
            return c.index;
    }
    const auto it = m_columns.constFind(column);
    if (it != m_columns.constEnd()) {
        if (m_namedColumns.size() < 64 && !column.isNull())
            m_namedColumns.push_back({column, *it});
        return *it;
    }
    // Names are matched without regard to case, as the recordsets did.
    for (auto c = m_columns.constBegin(); c != m_columns.constEnd(); ++c) {
        if (c.key().compare(column, Qt::CaseInsensitive) == 0)
            return c.value();
    }
    throw DbError(QStringLiteral("項目 %1 がありません。").arg(column));
}

void SqlQuery::requireRow() const {
    if (!m_stmt->onRow())
        throw DbError(QStringLiteral("読み取る行がありません。"));
}

QVariant SqlQuery::value(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    return m_stmt->value(i);
}

QString SqlQuery::str(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    return m_stmt->str(i);
}

double SqlQuery::num(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    return m_stmt->num(i);
}

qint64 SqlQuery::integer(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    return m_stmt->integer(i);
}

bool SqlQuery::isNull(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    return m_stmt->isNull(i);
}

QStringList SqlQuery::columns() const {
    return m_stmt->columns();
}

int SqlQuery::rowsAffected() const {
    return m_stmt->rowsAffected();
}

int execSql(const QString& sql, const QVariantList& values) {
    return execSql(gCon(), sql, values);
}

int execSql(const EngineSql& sql, const QVariantList& values) {
    return execSql(gCon(), sql, values);
}

int execSql(const QSqlDatabase& db, const EngineSql& sql, const QVariantList& values) {
    return execSql(db, sql.on(db), values);
}

int execSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    SqlQuery q(db, sql);
    for (const QVariant& v : values)
        q.bind(v);
    q.exec();
    return q.rowsAffected();
}
