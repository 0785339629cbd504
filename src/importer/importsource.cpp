#include "importer/importsource.h"

#include "core/apperror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <algorithm>

namespace {

class FolderSource : public ImportSource {
  public:
    explicit FolderSource(const QString& dir) : m_dir(dir) {}

    QByteArray tableBytes(const QString& table) override {
        const QString name = fileOf(table);
        if (name.isEmpty())
            requireTables({table});
        m_names.insert(table, name);
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            throw AppError(
                QStringLiteral("%1 を読めません: %2").arg(f.fileName(), f.errorString()));
        return f.readAll();
    }

    void requireTables(const QStringList& tables) override {
        QStringList missing;
        for (const QString& t : tables)
            if (fileOf(t).isEmpty())
                missing << t;
        if (missing.isEmpty())
            return;
        throw AppError(
            QStringLiteral("%1 に %2 のファイル (テーブル名.csv または テーブル名.txt) が"
                           "ありません。これらのテーブルを見出し付きで書き出して"
                           "ください。")
                .arg(QDir::toNativeSeparators(m_dir.path()), missing.join(QStringLiteral(", "))));
    }

    QString tableOrigin(const QString& table) const override { return m_names.value(table, table); }

  private:
    // Windows names files in any case: SEIHIN_T.TXT is the same table.
    QString fileOf(const QString& table) const {
        const QStringList names = m_dir.entryList(QDir::Files);
        for (const QString& suffix : {QStringLiteral(".csv"), QStringLiteral(".txt")})
            for (const QString& name : names)
                if (name.compare(table + suffix, Qt::CaseInsensitive) == 0)
                    return name;
        return {};
    }

    QDir m_dir;
    QMap<QString, QString> m_names; // table → the file read for it
};

// Dates come out as ISO text, whatever the machine's locale, and numbers
// with a decimal point.
const QString kDateFormat = QStringLiteral("%Y-%m-%d %H:%M:%S");

class MdbSource : public ImportSource {
  public:
    MdbSource(const QString& file, const MdbTools& tools) : m_file(file), m_tools(tools) {}

    QByteArray tableBytes(const QString& table) override {
        const QString found = nameOf(table);
        if (found.isEmpty())
            requireTables({table});
        return run(m_tools.exportProgram,
                   {QStringLiteral("-D"), kDateFormat, QStringLiteral("-T"), kDateFormat,
                    QStringLiteral("-b"), QStringLiteral("strip"), m_file, found});
    }

    void requireTables(const QStringList& tables) override {
        QStringList missing;
        for (const QString& t : tables)
            if (nameOf(t).isEmpty())
                missing << t;
        if (!missing.isEmpty())
            throw AppError(QStringLiteral("%1 にテーブル %2 がありません。元のシステムの"
                                          "データベースファイルか確かめてください。")
                               .arg(m_file, missing.join(QStringLiteral(", "))));
    }

    QString tableOrigin(const QString& table) const override {
        return QStringLiteral("%1 (%2)").arg(table, QFileInfo(m_file).fileName());
    }

  private:
    // Access keeps a table's name in the case it was created with.
    QString nameOf(const QString& table) {
        if (m_tables.isEmpty()) {
            const QString list =
                QString::fromUtf8(run(m_tools.tablesProgram, {QStringLiteral("-1"), m_file}));
            m_tables = list.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (QString& t : m_tables)
                t = t.trimmed();
        }
        const auto found = std::find_if(m_tables.cbegin(), m_tables.cend(), [&](const QString& t) {
            return t.compare(table, Qt::CaseInsensitive) == 0;
        });
        return found == m_tables.cend() ? QString() : *found;
    }

    QByteArray run(const QString& program, const QStringList& args) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(program, args);
        if (!p.waitForStarted())
            throw AppError(QStringLiteral("%1 を起動できません。mdbtools をインストールして"
                                          "ください (apt-get install mdbtools)。")
                               .arg(program));
        p.closeWriteChannel();
        // QProcess keeps reading both pipes while it waits, so a large table
        // never blocks the exporter.
        p.waitForFinished(-1);
        const QByteArray out = p.readAllStandardOutput();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            throw AppError(QStringLiteral("%1 が %2 を読めませんでした: %3")
                               .arg(program, m_file,
                                    QString::fromLocal8Bit(p.readAllStandardError()).trimmed()));
        return out;
    }

    QString m_file;
    MdbTools m_tools;
    QStringList m_tables;
};

} // namespace

std::unique_ptr<ImportSource> openImportSource(const QString& path, const MdbTools& tools) {
    const QFileInfo info(path);
    if (info.isDir())
        return std::make_unique<FolderSource>(path);
    if (info.isFile())
        return std::make_unique<MdbSource>(path, tools);
    throw AppError(QStringLiteral("取り込み元が見つかりません: %1\n元のデータベースファイル "
                                  "(.mdb/.accdb) か、書き出したファイルのフォルダを指定して"
                                  "ください。")
                       .arg(path));
}
