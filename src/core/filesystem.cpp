#include "core/filesystem.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif

bool isNetworkFileSystem(const QString& path) {
#ifdef Q_OS_LINUX
    struct statfs info {};
    if (statfs(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    // f_type is signed on some architectures; the magic numbers are 32 bits.
    switch (static_cast<unsigned int>(info.f_type)) {
    case 0x6969u:     // NFS
    case 0x517Bu:     // SMB
    case 0xFF534D42u: // CIFS
    case 0xFE534D42u: // SMB2
        return true;
    default:
        return false;
    }
#else
    Q_UNUSED(path);
    return false;
#endif
}

bool renameWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the one-step rename (network shares): a second
    // link fails where the name is taken.
    if (::link(a.constData(), b.constData()) == 0) {
        ::unlink(a.constData());
        return true;
    }
    if (errno == EEXIST)
        return false;
    // Neither: the gap between the test and the rename stays.
    return !QFile::exists(to) && QFile::rename(from, to);
}
