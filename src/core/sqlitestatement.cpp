#include "core/apperror.h"
#include "core/database.h"
#include "core/sqlfailure.h"
#include "core/sqlstatement.h"

#include <QHash>
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

// It runs on the connection's own SQLite handle rather than through the Qt
// driver: lists read tens of thousands of rows, and the driver's copy of
// every value into a cached row costs more than the reading itself.
class SqliteStatement final : public SqlStatement {
  public:
    SqliteStatement(const QSqlDatabase& db, const QString& sql) : m_db(handleOf(db)) {
        const QByteArray text = sql.toUtf8();
        const int rc =
            sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
            fail(sqlite3_extended_errcode(m_db));
        }
        liveStatements()[m_db].insert(&m_stmt);
    }

    ~SqliteStatement() override {
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

    QStringList columns() const override {
        QStringList names;
        const int count = m_stmt ? sqlite3_column_count(m_stmt) : 0;
        for (int i = 0; i < count; ++i)
            names << QString::fromUtf8(sqlite3_column_name(m_stmt, i));
        return names;
    }

    void exec(const QVariantList& values) override {
        if (m_stmt == nullptr)
            throw DbError(kNotOpen);
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        m_pendingRow = m_onRow = false;
        for (int i = 0; i < values.size(); ++i) {
            const int rc = bind(i + 1, values.at(i));
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
    }

    bool next() override {
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

    bool onRow() const override { return m_stmt != nullptr && m_onRow; }

    bool isNull(int i) const override { return sqlite3_column_type(m_stmt, i) == SQLITE_NULL; }

    QVariant value(int i) const override {
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
            return str(i);
        }
    }

    QString str(int i) const override {
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

    double num(int i) const override {
        switch (sqlite3_column_type(m_stmt, i)) {
        case SQLITE_NULL:
            return 0.0;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_stmt, i);
        default:
            return str(i).toDouble(); // text that is no number reads 0
        }
    }

    qint64 integer(int i) const override {
        switch (sqlite3_column_type(m_stmt, i)) {
        case SQLITE_NULL:
            return 0;
        case SQLITE_INTEGER:
            return sqlite3_column_int64(m_stmt, i);
        case SQLITE_FLOAT:
            return qint64(sqlite3_column_double(m_stmt, i));
        default:
            return str(i).toLongLong();
        }
    }

    int rowsAffected() const override { return m_changes; }

  private:
    int bind(int position, const QVariant& v) {
        if (v.isNull())
            return sqlite3_bind_null(m_stmt, position);
        switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
            return sqlite3_bind_int64(m_stmt, position, v.toLongLong());
        case QMetaType::ULongLong:
        case QMetaType::ULong:
        case QMetaType::UShort:
            return sqlite3_bind_int64(m_stmt, position, sqlite3_int64(v.toULongLong()));
        case QMetaType::Double:
        case QMetaType::Float:
            return sqlite3_bind_double(m_stmt, position, v.toDouble());
        case QMetaType::QByteArray: {
            const QByteArray bytes = v.toByteArray();
            return sqlite3_bind_blob64(m_stmt, position, bytes.constData(),
                                       sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
        }
        default: {
            const QByteArray text = v.toString().toUtf8();
            return sqlite3_bind_text64(m_stmt, position, text.constData(),
                                       sqlite3_uint64(text.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        }
    }

    [[noreturn]] void fail(int code) const { throw DbError(describeSqlError(errorOf(m_db, code))); }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_pendingRow = false; // exec stepped onto the first row already
    bool m_onRow = false;
    int m_changes = 0;
};

} // namespace

std::unique_ptr<SqlStatement> prepareSqliteStatement(const QSqlDatabase& db, const QString& sql) {
    return std::make_unique<SqliteStatement>(db, sql);
}

void releaseSqliteStatements(const QSqlDatabase& db) {
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
