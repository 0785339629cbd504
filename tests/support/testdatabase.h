#pragma once

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

// A fresh database with every table, opened as the shared connection, and a
// fixed clock. One per test function keeps tests independent.
class TestDatabase {
  public:
    explicit TestDatabase(const QDateTime& now = QDateTime(QDate(2026, 4, 1), QTime(9, 30, 0)));
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString path() const { return m_path; }
    QString dirPath() const { return m_dir.path(); }
    // Writes TVL.INI into the folder and makes it the current directory.
    void writeIni(const QString& contents);

  private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_oldCwd;
};
