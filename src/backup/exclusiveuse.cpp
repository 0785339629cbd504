#include "backup/exclusiveuse.h"

#include "core/apperror.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Where SQLite keeps its locks (the file format fixes them): the dead-man
// switch of the -shm file, and the pending, reserved and shared bytes of
// the database file.
constexpr off_t kShmDeadManSwitch = 128;
constexpr off_t kPendingByte = 0x40000000;
constexpr off_t kLockBytes = 512;

bool lockBytes(int fd, off_t start, off_t length) {
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

int openFile(const QString& path, int flags) {
    return ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0644);
}

} // namespace

ExclusiveUse::ExclusiveUse(const QString& dbPath) {
    const QString inUse = QStringLiteral("データベースが他のプログラムで使用中です。"
                                         "Tarvel をすべて終了してからやり直して下さい。\n%1")
                              .arg(dbPath);
    m_db = openFile(dbPath, O_RDWR);
    if (m_db < 0)
        throw AppError(QStringLiteral("データベースファイルを開けません。\n%1").arg(dbPath));
    // The -shm file is made when missing, so that a copy of the program
    // starting meanwhile finds the switch held and waits.
    m_shm = openFile(dbPath + QStringLiteral("-shm"), O_RDWR | O_CREAT);
    if (m_shm < 0) {
        ::close(m_db);
        throw AppError(QStringLiteral("データベースのフォルダに書き込めません。\n%1").arg(dbPath));
    }
    if (!lockBytes(m_shm, kShmDeadManSwitch, 1) || !lockBytes(m_db, kPendingByte, kLockBytes)) {
        ::close(m_shm);
        ::close(m_db);
        throw AppError(inUse);
    }
}

ExclusiveUse::~ExclusiveUse() {
    ::close(m_shm);
    ::close(m_db);
}
