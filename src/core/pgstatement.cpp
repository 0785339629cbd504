#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/pgconnection.h"
#include "core/sqlstatement.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <libpq-fe.h>
#include <vector>

namespace {

const QString kNotOpen = QStringLiteral("データベースが開かれていません。");

// Type numbers of pg_type that read as numbers.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;

enum class Kind { Text, Integer, Real, Numeric, Bool, Bytes };

Kind kindOf(Oid type) {
    switch (type) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return Kind::Integer;
    case kFloat4:
    case kFloat8:
        return Kind::Real;
    case kNumeric:
        return Kind::Numeric;
    case kBool:
        return Kind::Bool;
    case kBytea:
        return Kind::Bytes;
    default:
        return Kind::Text;
    }
}

// `?` becomes `$1`, `$2`, ... outside quoted text, quoted names and comments.
QByteArray numberedPlaceholders(const QString& sql) {
    const QByteArray in = sql.toUtf8();
    QByteArray out;
    out.reserve(in.size() + 16);
    int n = 0;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '\'' || c == '"') {
            const qsizetype end = in.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? in.size() - 1 : end;
            out += in.mid(i, stop - i + 1);
            i = stop; // a doubled quote reads as two quoted runs: same text
        } else if (c == '-' && i + 1 < in.size() && in.at(i + 1) == '-') {
            const qsizetype end = in.indexOf('\n', i);
            const qsizetype stop = end < 0 ? in.size() - 1 : end;
            out += in.mid(i, stop - i + 1);
            i = stop;
        } else if (c == '/' && i + 1 < in.size() && in.at(i + 1) == '*') {
            const qsizetype end = in.indexOf("*/", i + 2);
            const qsizetype stop = end < 0 ? in.size() - 1 : end + 1;
            out += in.mid(i, stop - i + 1);
            i = stop;
        } else if (c == '?') {
            out += '$' + QByteArray::number(++n);
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray textOf(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "1" : "0";
    case QMetaType::Double:
    case QMetaType::Float:
        // The shortest text that reads back as the same double, so that
        // 0.1 meets a NUMERIC 0.1000.
        return QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QByteArray:
        return v.toByteArray();
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate).toUtf8();
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    default:
        return v.toString().toUtf8();
    }
}

class PgStatement;

QHash<PGconn*, QSet<PgStatement*>>& liveStatements() {
    static QHash<PGconn*, QSet<PgStatement*>> live;
    return live;
}

// A statement run once goes as one round trip (PQexecParams); one run again
// is prepared on the server under its own name and executed by that. The
// whole result is fetched at once, so that other statements may run on the
// connection while this one's rows are read, as on SQLite.
class PgStatement final : public SqlStatement {
  public:
    PgStatement(const QSqlDatabase& db, const QString& sql)
        : m_conn(PgConnection::handle(db)), m_sql(numberedPlaceholders(sql)) {
        static std::atomic<quint64> counter{0};
        m_name = "tarvel_" + QByteArray::number(++counter);
        liveStatements()[m_conn].insert(this);
    }

    ~PgStatement() override {
        clearResult();
        if (m_conn == nullptr)
            return;
        auto it = liveStatements().find(m_conn);
        if (it != liveStatements().end()) {
            it->remove(this);
            if (it->isEmpty())
                liveStatements().erase(it);
        }
        if (m_prepared && m_generation == PgConnection::generation(m_conn) &&
            PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) != PQTRANS_INERROR)
            PQclear(PQexec(m_conn, ("DEALLOCATE " + m_name).constData()));
    }

    void release() {
        clearResult();
        m_conn = nullptr;
    }

    QStringList columns() const override { return m_columns; }

    void exec(const QVariantList& values) override {
        if (m_conn == nullptr)
            throw DbError(kNotOpen);
        clearResult();
        const int n = int(values.size());
        std::vector<QByteArray> texts{size_t(n)};
        std::vector<const char*> pointers(size_t(n), nullptr);
        std::vector<int> lengths(size_t(n), 0), formats(size_t(n), 0);
        std::vector<Oid> types(size_t(n), 0);
        for (int i = 0; i < n; ++i) {
            const QVariant& v = values.at(i);
            if (v.isNull())
                continue;
            texts[size_t(i)] = textOf(v);
            if (v.typeId() == QMetaType::QByteArray) {
                formats[size_t(i)] = 1;
                types[size_t(i)] = kBytea;
            }
            pointers[size_t(i)] = texts[size_t(i)].constData();
            lengths[size_t(i)] = int(texts[size_t(i)].size());
        }
        PGconn* conn = m_conn;
        // A statement kept across actions meets a lost connection as a new
        // one would: the action after the loss connects again.
        PgConnection::reconnect(conn);
        if (m_prepared && m_generation != PgConnection::generation(conn))
            m_prepared = false; // the connection was made again
        if (!m_prepared && m_runs > 0) {
            PGresult* p = PQprepare(conn, m_name.constData(), m_sql.constData(), n, types.data());
            const bool ok = PQresultStatus(p) == PGRES_COMMAND_OK;
            if (!ok)
                fail(p);
            PQclear(p);
            m_prepared = true;
            m_generation = PgConnection::generation(conn);
        }
        m_result = m_prepared ? PQexecPrepared(conn, m_name.constData(), n, pointers.data(),
                                               lengths.data(), formats.data(), 0)
                              : PQexecParams(conn, m_sql.constData(), n, types.data(),
                                             pointers.data(), lengths.data(), formats.data(), 0);
        ++m_runs;
        const ExecStatusType status = PQresultStatus(m_result);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            PGresult* failed = std::exchange(m_result, nullptr);
            fail(failed);
        }
        m_rows = PQntuples(m_result);
        m_row = -1;
        m_changes = std::atoi(PQcmdTuples(m_result));
        if (m_columns.isEmpty()) {
            const int fields = PQnfields(m_result);
            for (int i = 0; i < fields; ++i)
                m_columns << QString::fromUtf8(PQfname(m_result, i));
        }
        m_kinds.clear();
        for (int i = 0; i < PQnfields(m_result); ++i)
            m_kinds.push_back(kindOf(PQftype(m_result, i)));
    }

    bool next() override {
        if (m_result == nullptr)
            return false;
        if (m_row + 1 < m_rows) {
            ++m_row;
            return true;
        }
        clearResult();
        return false;
    }

    bool onRow() const override { return m_result != nullptr && m_row >= 0 && m_row < m_rows; }

    bool isNull(int i) const override { return PQgetisnull(m_result, m_row, i) != 0; }

    QVariant value(int i) const override {
        if (isNull(i))
            return QVariant();
        const char* text = PQgetvalue(m_result, m_row, i);
        switch (m_kinds[size_t(i)]) {
        case Kind::Integer:
            return QVariant(qint64(std::strtoll(text, nullptr, 10)));
        case Kind::Bool:
            return QVariant(qint64(text[0] == 't' ? 1 : 0));
        case Kind::Real:
            return QVariant(std::strtod(text, nullptr));
        case Kind::Numeric:
            // A sum of whole amounts stays whole, as SQLite's integers.
            if (std::strpbrk(text, ".eEN") == nullptr && std::strlen(text) < 19)
                return QVariant(qint64(std::strtoll(text, nullptr, 10)));
            return QVariant(std::strtod(text, nullptr));
        case Kind::Bytes: {
            size_t length = 0;
            unsigned char* bytes =
                PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
            const QByteArray out(reinterpret_cast<const char*>(bytes), qsizetype(length));
            PQfreemem(bytes);
            return out;
        }
        case Kind::Text:
            break;
        }
        return QString::fromUtf8(text, PQgetlength(m_result, m_row, i));
    }

    QString str(int i) const override {
        switch (m_kinds[size_t(i)]) {
        case Kind::Text:
            if (isNull(i))
                return QString();
            return QString::fromUtf8(PQgetvalue(m_result, m_row, i),
                                     PQgetlength(m_result, m_row, i));
        case Kind::Bytes:
            return QString::fromUtf8(value(i).toByteArray());
        default:
            return value(i).toString();
        }
    }

    double num(int i) const override {
        if (isNull(i))
            return 0.0;
        const char* text = PQgetvalue(m_result, m_row, i);
        switch (m_kinds[size_t(i)]) {
        case Kind::Text:
        case Kind::Bytes:
            return str(i).toDouble(); // text that is no number reads 0
        case Kind::Bool:
            return text[0] == 't' ? 1.0 : 0.0;
        default:
            return std::strtod(text, nullptr);
        }
    }

    qint64 integer(int i) const override {
        if (isNull(i))
            return 0;
        const char* text = PQgetvalue(m_result, m_row, i);
        switch (m_kinds[size_t(i)]) {
        case Kind::Integer:
            return std::strtoll(text, nullptr, 10);
        case Kind::Bool:
            return text[0] == 't' ? 1 : 0;
        case Kind::Real:
        case Kind::Numeric: {
            const double d = std::strtod(text, nullptr);
            return std::isfinite(d) ? qint64(d) : 0;
        }
        default:
            return str(i).toLongLong();
        }
    }

    int rowsAffected() const override { return m_changes; }

  private:
    void clearResult() {
        if (m_result != nullptr) {
            PQclear(m_result);
            m_result = nullptr;
        }
        m_row = -1;
        m_rows = 0;
    }

    [[noreturn]] void fail(PGresult* result) const {
        const QString text = PgConnection::describe(m_conn, result);
        PQclear(result);
        throw DbError(text);
    }

    PGconn* m_conn = nullptr;
    QByteArray m_sql;
    QByteArray m_name;
    bool m_prepared = false;
    quint64 m_generation = 0;
    int m_runs = 0;
    PGresult* m_result = nullptr;
    int m_row = -1;
    int m_rows = 0;
    int m_changes = 0;
    QStringList m_columns;
    std::vector<Kind> m_kinds;
};

} // namespace

std::unique_ptr<SqlStatement> preparePgStatement(const QSqlDatabase& db, const QString& sql) {
    return std::make_unique<PgStatement>(db, sql);
}

void releasePgStatements(const QSqlDatabase& db) {
    PGconn* conn = PgConnection::currentHandle(db);
    if (conn == nullptr)
        return;
    const QSet<PgStatement*> statements = liveStatements().take(conn);
    for (PgStatement* statement : statements)
        statement->release();
}

namespace {

// One value in COPY's text form: \N for Null, backslash escapes for the
// characters that separate values and rows.
void appendCopyValue(QByteArray& out, const QVariant& v) {
    if (v.isNull()) {
        out += "\\N";
        return;
    }
    if (v.typeId() == QMetaType::QByteArray) {
        out += "\\\\x" + v.toByteArray().toHex();
        return;
    }
    // Half of a surrogate pair is dropped, as a bound value's is.
    const QByteArray text =
        v.typeId() == QMetaType::QString ? withoutLoneSurrogates(v.toString()).toUtf8() : textOf(v);
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

void copyPgRows(const QSqlDatabase& db, const QString& copy, const QList<QVariantList>& rows,
                bool numbered) {
    PGconn* conn = PgConnection::handle(db);
    const auto failed = [conn](PGresult* result) {
        const QString text = PgConnection::describe(conn, result);
        PQclear(result);
        return DbError(text);
    };
    PGresult* start = PQexec(conn, copy.toUtf8().constData());
    if (PQresultStatus(start) != PGRES_COPY_IN)
        throw failed(start);
    PQclear(start);
    // The rows go in pieces of about a megabyte: few calls, little memory.
    constexpr qsizetype kPiece = 1 << 20;
    QByteArray piece;
    piece.reserve(kPiece + 4096);
    bool sent = true;
    for (qsizetype i = 0; i < rows.size() && sent; ++i) {
        if (numbered)
            piece += QByteArray::number(i + 1);
        const QVariantList& row = rows.at(i);
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (numbered || c > 0)
                piece += '\t';
            appendCopyValue(piece, row.at(c));
        }
        piece += '\n';
        if (piece.size() >= kPiece || i + 1 == rows.size()) {
            sent = PQputCopyData(conn, piece.constData(), int(piece.size())) == 1;
            piece.clear();
        }
    }
    // A piece that could not be sent ends the COPY with an error, so that
    // the server takes none of the rows.
    PQputCopyEnd(conn, sent ? nullptr : "tarvel: rows not sent");
    PGresult* end = PQgetResult(conn);
    const bool ok = PQresultStatus(end) == PGRES_COMMAND_OK;
    // Read the results to their end, so that the connection is free again.
    while (PGresult* more = PQgetResult(conn))
        PQclear(more);
    if (!ok)
        throw failed(end);
    PQclear(end);
}
