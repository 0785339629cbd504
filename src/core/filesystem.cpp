#include "core/filesystem.h"

#include <QFile>

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
