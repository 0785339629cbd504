#include "backup/partfile.h"

#include "core/apperror.h"
#include "core/filesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kPartEnd = QStringLiteral(".part");
const QString kJournalEnd = QStringLiteral("-journal");

// A name of this process and of this part alone: two runs started in the
// same second, on one PC or on two sharing the folder, never meet.
QString runSuffix() {
    return QStringLiteral("%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
}

int openLocked(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Held while a part is made and locked, and while stale parts are sought:
// a part another run has made but not yet locked is not taken for stale.
class FolderLock {
  public:
    explicit FolderLock(const QString& folder)
        : m_fd(
              ::open(QFile::encodeName(QDir(folder).filePath(QStringLiteral(".tarvel-backup.lock")))
                         .constData(),
                     O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~FolderLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int m_fd;
};

} // namespace

PartFile::PartFile(const QString& target)
    : m_target(target), m_path(target + QLatin1Char('.') + runSuffix() + kPartEnd) {
    const FolderLock folder(QFileInfo(target).absolutePath());
    m_fd = openLocked(m_path, O_RDWR | O_CREAT | O_EXCL);
    if (m_fd < 0)
        throw AppError(QStringLiteral("バックアップのフォルダに書き込めません。フォルダがあるか、"
                                      "その権限とディスクの空きを確かめて下さい。\n%1")
                           .arg(QFileInfo(target).absolutePath()));
}

PartFile::~PartFile() {
    if (!m_placed) {
        QFile::remove(m_path);
        QFile::remove(m_path + kJournalEnd);
    }
    ::close(m_fd);
}

QString PartFile::place(const NextName& next) {
    QString name = m_target;
    while (!renameWithoutReplacing(m_path, name)) {
        if (!QFile::exists(name))
            throw AppError(QStringLiteral("バックアップのファイルを置けません。\n%1").arg(name));
        if (!next)
            throw AppError(QStringLiteral("同じ名前のファイルが既にあります。\n%1").arg(name));
        name = next(name);
    }
    m_placed = true;
    return name;
}

void PartFile::removeStale(const QString& folder) {
    const FolderLock lock(folder);
    const QDir dir(folder);
    const QStringList parts =
        dir.entryList({QStringLiteral("tarvel-*") + kPartEnd}, QDir::Files | QDir::Hidden);
    for (const QString& name : parts) {
        const QString path = dir.filePath(name);
        // A part whose run still goes holds its lock.
        const int fd = openLocked(path, O_RDWR);
        if (fd < 0)
            continue;
        QFile::remove(path);
        QFile::remove(path + kJournalEnd);
        ::close(fd);
    }
    // A journal whose part is gone was left by a run killed in between.
    for (const QString& name :
         dir.entryList({QStringLiteral("tarvel-*") + kPartEnd + kJournalEnd}, QDir::Files)) {
        if (!dir.exists(name.chopped(kJournalEnd.size())))
            QFile::remove(dir.filePath(name));
    }
}
