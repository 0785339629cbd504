#include "support/testdatabase.h"

#include "core/clock.h"
#include "core/database.h"
#include "core/schema.h"
#include "core/session.h"

#include <QDir>
#include <QFile>

TestDatabase::TestDatabase(const QDateTime& now) : m_oldCwd(QDir::currentPath()) {
    Clock::setFixed(now);
    m_path = m_dir.filePath(QStringLiteral("tarvel.sqlite"));
    Schema::createFile(m_path);
    DBOpenPath(m_path);
    gEmpCode = QStringLiteral("E001");
    gPassword.clear();
}

TestDatabase::~TestDatabase() {
    DBClose();
    QDir::setCurrent(m_oldCwd);
    Clock::useSystemClock();
}

void TestDatabase::writeIni(const QString& contents) {
    QFile f(m_dir.filePath(QStringLiteral("TVL.INI")));
    f.open(QIODevice::WriteOnly);
    f.write(contents.toUtf8());
    f.close();
    QDir::setCurrent(m_dir.path());
}
