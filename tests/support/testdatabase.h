#pragma once

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

// A fresh database with every table, opened as the shared connection, and a
// fixed clock. One per test function keeps tests independent.
//
// The engine comes from the environment: TARVEL_TEST_ENGINE=postgresql puts
// each database in a schema of its own on the server of TARVEL_TEST_PG_DSN
// (scripts/pg-cluster.sh starts one); otherwise it is an SQLite file.
class TestDatabase {
  public:
    explicit TestDatabase(const QDateTime& now = QDateTime(QDate(2026, 4, 1), QTime(9, 30, 0)));
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // What openDatabase opens: the file's path, or the server's DSN.
    QString path() const { return m_path; }
    QString dirPath() const { return m_dir.path(); }
    // Writes TVL.INI into the folder and makes it the current directory.
    void writeIni(const QString& contents);
    // A copy of the database as it stands, under a name of its own; returns
    // what openDatabase opens. The shared connection must be closed.
    QString copy(const QString& name);

    static bool onServer();

  private:
    QString newDatabase(const QString& name);

    QTemporaryDir m_dir;
    QString m_path;
    QString m_oldCwd;
    QStringList m_schemas;
};
