#pragma once

// The bare libpq C API, for the baseline beside the program on a PostgreSQL
// server: statements prepared once on the server, values bound as text,
// every result fetched whole, no Qt in between. The same calls as RawDb and
// RawStatement (rawsqlite.h), so that one workload runs on either engine.

#include "core/sqldialect.h"

#include <QByteArray>
#include <QString>
#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <vector>

class RawPgStatement;

class RawPg {
  public:
    using Statement = RawPgStatement;
    static constexpr SqlEngine kEngine = SqlEngine::Postgres;

    explicit RawPg(const QString& dsn) : m_conn(PQconnectdb(dsn.toUtf8().constData())) {
        if (PQstatus(m_conn) != CONNECTION_OK)
            fail("connect");
        PQsetNoticeProcessor(
            m_conn, [](void*, const char*) {}, nullptr);
        // The session the program's connection has.
        exec("SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; SET lock_timeout = '5s'");
    }
    ~RawPg() { PQfinish(m_conn); }
    RawPg(const RawPg&) = delete;
    RawPg& operator=(const RawPg&) = delete;

    PGconn* handle() const { return m_conn; }
    void exec(const char* sql) {
        PGresult* r = PQexec(m_conn, sql);
        const ExecStatusType status = PQresultStatus(r);
        PQclear(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            fail(sql);
    }
    [[noreturn]] void fail(const char* what) const {
        std::fprintf(stderr, "baseline: %s: %s\n", what, PQerrorMessage(m_conn));
        std::exit(2);
    }
    QByteArray newStatementName() { return "raw_" + QByteArray::number(++m_statements); }

  private:
    PGconn* m_conn = nullptr;
    int m_statements = 0;
};

class RawPgStatement {
  public:
    // `?` placeholders as on SQLite; the workload's quoted texts hold none.
    RawPgStatement(RawPg& db, const QString& sql) : m_db(db), m_name(db.newStatementName()) {
        QByteArray numbered;
        int n = 0;
        for (const char c : sql.toUtf8())
            numbered += c == '?' ? '$' + QByteArray::number(++n) : QByteArray(1, c);
        PGresult* r = PQprepare(db.handle(), m_name.constData(), numbered.constData(), 0, nullptr);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok)
            db.fail("prepare");
        m_values.resize(size_t(n));
        m_pointers.resize(size_t(n), nullptr);
    }
    ~RawPgStatement() {
        PQclear(m_result);
        PQclear(PQexec(m_db.handle(), ("DEALLOCATE " + m_name).constData()));
    }
    RawPgStatement(const RawPgStatement&) = delete;
    RawPgStatement& operator=(const RawPgStatement&) = delete;

    // Binding positions count from 1, as on SQLite.
    void bind(int i, const QByteArray& utf8) { set(i, utf8); }
    void bind(int i, long long value) { set(i, QByteArray::number(value)); }
    void bind(int i, double value) {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, value).ptr;
        set(i, QByteArray(text, end - text));
    }
    // The first step runs the statement; each step then moves to a row.
    bool step() {
        if (m_result == nullptr) {
            m_result = PQexecPrepared(m_db.handle(), m_name.constData(), int(m_pointers.size()),
                                      m_pointers.data(), nullptr, nullptr, 0);
            const ExecStatusType status = PQresultStatus(m_result);
            if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
                m_db.fail("step");
            m_row = -1;
        }
        return ++m_row < PQntuples(m_result);
    }
    void reset() {
        PQclear(m_result);
        m_result = nullptr;
        std::fill(m_pointers.begin(), m_pointers.end(), nullptr);
    }
    int columns() const { return PQnfields(m_result); }
    bool isNull(int col) const { return PQgetisnull(m_result, m_row, col) != 0; }
    const unsigned char* text(int col) const {
        return reinterpret_cast<const unsigned char*>(PQgetvalue(m_result, m_row, col));
    }
    double real(int col) const { return std::strtod(PQgetvalue(m_result, m_row, col), nullptr); }
    // A boolean reads 1 or 0, as SQLite gives it.
    long long integer(int col) const {
        const char* v = PQgetvalue(m_result, m_row, col);
        return v[0] == 't' ? 1 : std::strtoll(v, nullptr, 10);
    }

  private:
    void set(int i, QByteArray value) {
        m_values[size_t(i - 1)] = std::move(value);
        m_pointers[size_t(i - 1)] = m_values[size_t(i - 1)].constData();
    }

    RawPg& m_db;
    QByteArray m_name;
    std::vector<QByteArray> m_values;
    std::vector<const char*> m_pointers;
    PGresult* m_result = nullptr;
    int m_row = -1;
};
