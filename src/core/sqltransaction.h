#pragma once

#include <QSqlDatabase>

// A transaction that rolls back when it goes out of scope uncommitted, so
// a failure part-way leaves nothing behind.
//
// A write transaction starts as BEGIN IMMEDIATE: it takes the write lock at
// once, waiting out the busy timeout while another program writes. A
// deferred BEGIN that reads first (next serial, next slip number) and
// writes later cannot wait at the write: SQLite fails it on the spot when
// another writer committed in between. Read transactions only read.
class SqlTransaction {
  public:
    enum class Kind { Write, Read };

    SqlTransaction();                                                         // write, on gCon
    explicit SqlTransaction(const QSqlDatabase& db, Kind kind = Kind::Write); // throws DbError
    explicit SqlTransaction(Kind kind);                                       // on gCon
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    void commit(); // throws DbError
    void rollback();

  private:
    void markOnServer();
    void ended();

    QSqlDatabase m_db;
    bool m_active = false;
    struct pg_conn* m_server = nullptr; // the server connection it runs on
};
