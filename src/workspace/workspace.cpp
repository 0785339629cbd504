#include "workspace/workspace.h"

#include "backup/databasecopy.h"
#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/passwordhash.h"
#include "core/schema.h"
#include "core/sideconnection.h"
#include "core/sqlquery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Workspace {

QString defaultDatabase(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("tarvel.sqlite"));
}

void create(const Request& r) {
    const QDir folder(r.folder);
    if (r.folder.isEmpty() || !folder.exists())
        throw AppError(QStringLiteral("作業フォルダがありません。\n%1").arg(r.folder));
    const QString ini = folder.filePath(QStringLiteral("TVL.INI"));
    if (QFileInfo::exists(ini))
        throw AppError(QStringLiteral("作業フォルダには既に TVL.INI があります。\n%1").arg(ini));
    if (r.company.contains(QLatin1Char('\n')) || r.database.contains(QLatin1Char('\n')))
        throw AppError(QStringLiteral("会社名とファイル名には改行を使えません。"));
    const QString database = QFileInfo(r.database).absoluteFilePath();
    if (r.newDatabase) {
        if (QFileInfo::exists(database))
            throw AppError(
                QStringLiteral("データベースファイルが既にあります。上書きはしません。\n%1")
                    .arg(database));
        Schema::createFile(database);
        try {
            const SideConnection created(database, SideConnection::Open::AsProgram);
            execSql(created.db(),
                    QStringLiteral("INSERT INTO syain_m (社員コード, 氏名, パスワード, 備考,"
                                   " 最終更新日時, 削除フラグ) VALUES (?, ?, ?, '', ?, 0)"),
                    {QString::fromLatin1(kFirstEmployee), QStringLiteral("管理者"),
                     r.password.isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                          : QVariant(PasswordHash::make(r.password)),
                     Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
        } catch (...) {
            QFile::remove(database);
            throw;
        }
    } else {
        DatabaseCopy::check(database);
    }
    QSaveFile file(ini);
    // The byte order mark makes the file read as UTF-8 whatever it holds.
    const QByteArray text = (QChar(0xFEFF) + QStringLiteral("[Access]\r\nDSN=%1\r\nUID=0\r\n\r\n"
                                                            "[User]\r\nName=%2\r\n")
                                                 .arg(database, r.company.trimmed()))
                                .toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw AppError(QStringLiteral("TVL.INI を書き込めません。フォルダの権限を確かめて下さい。"
                                      "\n%1")
                           .arg(ini));
}

} // namespace Workspace
