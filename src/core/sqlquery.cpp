#include "core/sqlquery.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/database.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {
QSqlDatabase checkedOpen(const QSqlDatabase& db) {
    if (!db.isOpen())
        throw DbError(QStringLiteral("データベースが開かれていません。"));
    return db;
}
} // namespace

SqlQuery::SqlQuery(const QString& sql) : SqlQuery(gCon(), sql) {}

SqlQuery::SqlQuery(const QSqlDatabase& db, const QString& sql)
    : m_query(checkedOpen(db)), m_sql(sql) {
    m_query.setForwardOnly(true);
    if (!m_query.prepare(sql))
        throw DbError(describeSqlError(m_query.lastError()));
}

SqlQuery& SqlQuery::bind(const QVariant& value) {
    // Half of a surrogate pair would be stored as bytes that are not UTF-8,
    // which other programs reading the file cannot take.
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (hasLoneSurrogate(text)) {
            m_query.bindValue(m_bound++, withoutLoneSurrogates(text));
            return *this;
        }
    }
    m_query.bindValue(m_bound++, value);
    return *this;
}

SqlQuery& SqlQuery::exec() {
    m_bound = 0;
    if (!m_query.exec())
        throw DbError(describeSqlError(m_query.lastError()));
    const QSqlRecord record = m_query.record();
    m_columns.clear();
    for (int i = 0; i < record.count(); ++i)
        m_columns.insert(record.fieldName(i), i);
    return *this;
}

bool SqlQuery::next() {
    if (m_query.next())
        return true;
    if (m_query.lastError().isValid())
        throw DbError(describeSqlError(m_query.lastError()));
    return false;
}

int SqlQuery::columnIndex(const QString& column) const {
    int index = m_columns.value(column, -1);
    if (index < 0) // names are matched without regard to case, as before
        index = m_query.record().indexOf(column);
    if (index < 0)
        throw DbError(QStringLiteral("項目 %1 がありません。").arg(column));
    return index;
}

QVariant SqlQuery::value(const QString& column) const {
    return m_query.value(columnIndex(column));
}

QString SqlQuery::str(const QString& column) const {
    QVariant v = value(column);
    return v.isNull() ? QString() : v.toString();
}

double SqlQuery::num(const QString& column) const {
    QVariant v = value(column);
    return v.isNull() ? 0.0 : v.toDouble();
}

qint64 SqlQuery::integer(const QString& column) const {
    QVariant v = value(column);
    return v.isNull() ? 0 : v.toLongLong();
}

bool SqlQuery::isNull(const QString& column) const {
    return value(column).isNull();
}

int SqlQuery::rowsAffected() const {
    return m_query.numRowsAffected();
}

int execSql(const QString& sql, const QVariantList& values) {
    return execSql(gCon(), sql, values);
}

int execSql(const QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    SqlQuery q(db, sql);
    for (const QVariant& v : values)
        q.bind(v);
    q.exec();
    return q.rowsAffected();
}
