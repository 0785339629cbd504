#pragma once

#include <QSqlDatabase>

// A transaction that rolls back when it goes out of scope uncommitted, so
// a failure part-way leaves nothing behind.
class SqlTransaction {
  public:
    SqlTransaction();                                // on gCon
    explicit SqlTransaction(const QSqlDatabase& db); // throws DbError
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    void commit(); // throws DbError
    void rollback();

  private:
    QSqlDatabase m_db;
    bool m_active = false;
};
