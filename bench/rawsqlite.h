#pragma once

// The bare sqlite3 C API, for the baseline that every benchmark times beside
// the program's own code: the same reads on the same file, with prepared
// statements and no Qt in between. The ratio of the two is what a benchmark
// judges, because absolute times on a shared machine vary from run to run.
// RawPg (rawlibpq.h) offers the same calls on a PostgreSQL server.

#include "core/sqldialect.h"

#include <QString>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

class RawStatement;

class RawDb {
  public:
    using Statement = RawStatement;
    static constexpr SqlEngine kEngine = SqlEngine::Sqlite;

    explicit RawDb(const QString& path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            fail("open");
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~RawDb() { sqlite3_close(m_db); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    sqlite3* handle() const { return m_db; }
    void exec(const char* sql) {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }
    [[noreturn]] void fail(const char* what) const {
        std::fprintf(stderr, "baseline: %s: %s\n", what, sqlite3_errmsg(m_db));
        std::exit(2);
    }

  private:
    sqlite3* m_db = nullptr;
};

class RawStatement {
  public:
    RawStatement(RawDb& db, const QString& sql) : m_db(db) {
        if (sqlite3_prepare_v2(db.handle(), sql.toUtf8().constData(), -1, &m_stmt, nullptr) !=
            SQLITE_OK)
            db.fail("prepare");
    }
    ~RawStatement() { sqlite3_finalize(m_stmt); }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    // Binding positions count from 1, as in the C API.
    void bind(int i, const QByteArray& utf8) {
        sqlite3_bind_text(m_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int i, sqlite3_int64 value) { sqlite3_bind_int64(m_stmt, i, value); }
    void bind(int i, double value) { sqlite3_bind_double(m_stmt, i, value); }
    bool step() {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            m_db.fail("step");
        return false;
    }
    void reset() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    int columns() const { return sqlite3_column_count(m_stmt); }
    bool isNull(int col) { return sqlite3_column_type(m_stmt, col) == SQLITE_NULL; }
    const unsigned char* text(int col) { return sqlite3_column_text(m_stmt, col); }
    double real(int col) { return sqlite3_column_double(m_stmt, col); }
    sqlite3_int64 integer(int col) { return sqlite3_column_int64(m_stmt, col); }

    // Reads every column of every row as text, as a list screen must.
    long long readAllAsText() {
        long long bytes = 0;
        while (step()) {
            for (int c = 0; c < columns(); ++c) {
                text(c);
                bytes += sqlite3_column_bytes(m_stmt, c);
            }
        }
        return bytes;
    }

  private:
    RawDb& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Prints one measured figure beside its baseline with their ratio; true when
// the ratio is within the target.
inline bool reportRatio(const char* what, double ms, double baselineMs, double targetRatio) {
    const double ratio = baselineMs > 0 ? ms / baselineMs : 0;
    const bool ok = ratio <= targetRatio;
    std::printf("%-44s %9.1f ms  baseline %8.1f ms  ratio %5.2f (target <= %.1f)%s\n", what, ms,
                baselineMs, ratio, targetRatio, ok ? "" : "  MISSED");
    return ok;
}
