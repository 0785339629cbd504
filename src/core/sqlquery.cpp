#include "core/sqlquery.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/database.h"

#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <sqlite3.h>

namespace {

const QString kNotOpen = QStringLiteral("データベースが開かれていません。");

sqlite3* handleOf(const QSqlDatabase& db) {
    if (!db.isOpen() || db.driver() == nullptr)
        throw DbError(kNotOpen);
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw DbError(kNotOpen);
    sqlite3* raw = *static_cast<sqlite3* const*>(handle.constData());
    if (raw == nullptr)
        throw DbError(kNotOpen);
    return raw;
}

// Statements by connection, so that closing one can finalize them first.
QHash<sqlite3*, QSet<sqlite3_stmt**>>& liveStatements() {
    static QHash<sqlite3*, QSet<sqlite3_stmt**>> live;
    return live;
}

QSqlError errorOf(sqlite3* db, int code) {
    const QString message =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    return QSqlError(QString(), message, QSqlError::StatementError, QString::number(code));
}

} // namespace

SqlQuery::SqlQuery(const QString& sql) : SqlQuery(gCon(), sql) {}

SqlQuery::SqlQuery(const QSqlDatabase& db, const QString& sql) : m_db(handleOf(db)) {
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        fail(sqlite3_extended_errcode(m_db));
    }
    liveStatements()[m_db].insert(&m_stmt);
    const int columns = sqlite3_column_count(m_stmt);
    for (int i = 0; i < columns; ++i)
        m_columns.insert(QString::fromUtf8(sqlite3_column_name(m_stmt, i)), i);
}

SqlQuery::~SqlQuery() {
    if (m_stmt) {
        auto it = liveStatements().find(m_db);
        if (it != liveStatements().end()) {
            it->remove(&m_stmt);
            if (it->isEmpty())
                liveStatements().erase(it);
        }
        sqlite3_finalize(m_stmt);
    }
}

void SqlQuery::releaseStatements(const QSqlDatabase& db) {
    sqlite3* raw = nullptr;
    try {
        raw = handleOf(db);
    } catch (const DbError&) {
        return;
    }
    const QSet<sqlite3_stmt**> statements = liveStatements().take(raw);
    for (sqlite3_stmt** statement : statements) {
        sqlite3_finalize(*statement);
        *statement = nullptr;
    }
}

void SqlQuery::fail(int code) const {
    throw DbError(describeSqlError(errorOf(m_db, code)));
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
    if (m_stmt == nullptr)
        throw DbError(kNotOpen);
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_pendingRow = m_onRow = false;
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values.at(i);
        const int position = i + 1;
        int rc = SQLITE_OK;
        if (v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, position);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::Short:
                rc = sqlite3_bind_int64(m_stmt, position, v.toLongLong());
                break;
            case QMetaType::ULongLong:
            case QMetaType::ULong:
            case QMetaType::UShort:
                rc = sqlite3_bind_int64(m_stmt, position, sqlite3_int64(v.toULongLong()));
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, position, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = v.toByteArray();
                rc = sqlite3_bind_blob64(m_stmt, position, bytes.constData(),
                                         sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray text = v.toString().toUtf8();
                rc =
                    sqlite3_bind_text64(m_stmt, position, text.constData(),
                                        sqlite3_uint64(text.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            fail(rc);
    }
    const int before = sqlite3_total_changes(m_db);
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_pendingRow = true;
    } else if (rc != SQLITE_DONE) {
        const int code = sqlite3_extended_errcode(m_db);
        sqlite3_reset(m_stmt);
        fail(code);
    }
    // Rows changed by this statement alone, triggers not counted.
    m_changes = sqlite3_total_changes(m_db) != before ? sqlite3_changes(m_db) : 0;
    if (rc == SQLITE_DONE)
        sqlite3_reset(m_stmt); // holds no lock while it waits for the next exec
    return *this;
}

bool SqlQuery::next() {
    if (m_stmt == nullptr)
        throw DbError(kNotOpen);
    if (m_pendingRow) {
        m_pendingRow = false;
        m_onRow = true;
        return true;
    }
    if (!m_onRow)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    m_onRow = false;
    if (rc != SQLITE_DONE) {
        const int code = sqlite3_extended_errcode(m_db);
        sqlite3_reset(m_stmt);
        fail(code);
    }
    sqlite3_reset(m_stmt);
    return false;
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
    if (m_stmt == nullptr || !m_onRow)
        throw DbError(QStringLiteral("読み取る行がありません。"));
}

QVariant SqlQuery::value(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, i)),
                          sqlite3_column_bytes(m_stmt, i));
    default:
        return str(column);
    }
}

QString SqlQuery::str(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_INTEGER:
        return QString::number(qint64(sqlite3_column_int64(m_stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i)).toString();
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, i));
    }
    }
}

double SqlQuery::num(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return 0.0;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, i);
    default:
        return str(column).toDouble(); // text that is no number reads 0
    }
}

qint64 SqlQuery::integer(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_INTEGER:
        return sqlite3_column_int64(m_stmt, i);
    case SQLITE_FLOAT:
        return qint64(sqlite3_column_double(m_stmt, i));
    default:
        return str(column).toLongLong();
    }
}

bool SqlQuery::isNull(const QString& column) const {
    const int i = columnIndex(column);
    requireRow();
    return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

int SqlQuery::rowsAffected() const {
    return m_changes;
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
