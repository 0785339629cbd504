#pragma once

#include "core/database.h"
#include "core/schema.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// The workspace of the printing benchmarks: offscreen unless a display is
// asked for, a fresh database and a TVL.INI that sends everything to PDF.
namespace PrintBench {

// Call before the QApplication is made.
inline void offscreenUnlessSet() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Creates and opens bench.sqlite in `dir`, writes TVL.INI beside it and
// makes `dir` the current folder; returns the database path.
inline QString openWorkspace(const QTemporaryDir& dir, const QByteArray& companyName) {
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    Schema::createFile(path);
    openDatabase(path);
    QFile ini(dir.filePath(QStringLiteral("TVL.INI")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[Print]\nOutput=pdf\n[User]\nName=" + companyName + "\n");
    ini.close();
    QDir::setCurrent(dir.path());
    return path;
}

} // namespace PrintBench
