#pragma once

#include <QString>

// Whether the file (or folder) at path lies on a network file system: NFS,
// SMB or CIFS. Their locks and shared memory do not reach the other PCs
// that use the same file, which write-ahead logging relies on.
bool isNetworkFileSystem(const QString& path);

// Renames from to to unless a file named to exists; the test and the
// rename are one step where the file system allows it. False when to
// exists or the rename failed.
bool renameWithoutReplacing(const QString& from, const QString& to);
