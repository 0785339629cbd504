#pragma once

#include <QString>

// Holds a database file so that no copy of the program has it open or can
// open it, for as long as the object lives; throws AppError naming the
// database as in use when some program has it open.
//
// An open connection in write-ahead-log mode holds a read lock on the
// "dead-man switch" byte of the -shm file for its whole life, whatever it
// is doing; a connection with a rollback journal holds locks on the
// database file itself while it reads or writes. Both are taken as open
// file description locks, which conflict with every other lock, those of
// this process included, and are not lost when SQLite closes its own
// handles. Closing them drops the POSIX locks this process holds on those
// files, though: use it where no connection of this process needs them
// (tarvel-admin restore).
class ExclusiveUse {
  public:
    explicit ExclusiveUse(const QString& dbPath);
    ~ExclusiveUse();
    ExclusiveUse(const ExclusiveUse&) = delete;
    ExclusiveUse& operator=(const ExclusiveUse&) = delete;

  private:
    int m_shm = -1;
    int m_db = -1;
};
