#include "workspace/screens/workspacesetup.h"

#include "core/apperror.h"
#include "core/ini.h"
#include "core/screens/filedialogs.h"
#include "core/screens/messagebox.h"
#include "core/screens/newpassword.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QSettings>

namespace {

const char* const kLastWorkspace = "workspace";

bool enter(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo::exists(QDir(folder).filePath(QStringLiteral("TVL.INI"))))
        return false;
    return QDir::setCurrent(folder);
}

} // namespace

bool findOrCreateWorkspace(QWidget* parent) {
    QSettings settings(QStringLiteral("Tarvel"), QStringLiteral("Tarvel"));
    if (enter(settings.value(kLastWorkspace).toString()))
        return true;
    if (MessageBox::show(parent,
                         QStringLiteral("作業フォルダに設定ファイル TVL.INI がありません。\n%1\n"
                                        "新しい作業フォルダを作成しますか？")
                             .arg(QFileInfo(iniFilePath()).absolutePath()),
                         MessageBox::Buttons::YesNo,
                         MessageBox::Icon::Question) != MessageBox::Answer::Yes)
        return false;
    Workspace::Request r;
    // Where the message just said TVL.INI was looked for.
    r.folder =
        chooseFolder(parent, QStringLiteral("作業フォルダを選んで下さい（TVL.INI を置きます）"),
                     QFileInfo(iniFilePath()).absolutePath());
    if (r.folder.isEmpty())
        return false;
    const MessageBox::Answer kind =
        MessageBox::show(parent,
                         QStringLiteral("新しいデータベースを作成しますか？\n"
                                        "「いいえ」で既存のデータベースファイルを選びます。"),
                         MessageBox::Buttons::YesNoCancel, MessageBox::Icon::Question);
    if (kind == MessageBox::Answer::Cancel)
        return false;
    r.newDatabase = kind == MessageBox::Answer::Yes;
    r.database =
        r.newDatabase
            ? Workspace::defaultDatabase(r.folder)
            : chooseOpenFile(parent, QStringLiteral("データベースファイルを選んで下さい"), r.folder,
                             QStringLiteral("データベース (*.sqlite *.db);;"
                                            "すべてのファイル (*)"));
    if (r.database.isEmpty())
        return false;
    QInputDialog company(parent);
    company.setWindowTitle(QStringLiteral("Tarvelシステム"));
    company.setLabelText(QStringLiteral("会社名（メニューと印刷物に出ます）"));
    // Room for a typical name such as 株式会社○○製作所 東京工場.
    company.resize(480, company.sizeHint().height());
    if (company.exec() != QDialog::Accepted)
        return false;
    r.company = company.textValue();
    if (r.newDatabase) {
        const std::optional<QString> password =
            askNewPassword(parent, QStringLiteral("社員コード %1（管理者）のパスワード")
                                       .arg(QString::fromLatin1(Workspace::kFirstEmployee)));
        if (!password)
            return false;
        r.password = *password;
    }
    try {
        Workspace::create(r);
    } catch (const AppError& e) {
        MessageBox::error(parent, e.text());
        return false;
    }
    settings.setValue(kLastWorkspace, r.folder);
    enter(r.folder);
    MessageBox::show(parent,
                     r.newDatabase
                         ? QStringLiteral("作業フォルダを作成しました。\n%1\n社員コード %2 と"
                                          "いま決めたパスワードでログインして下さい。")
                               .arg(r.folder, QString::fromLatin1(Workspace::kFirstEmployee))
                         : QStringLiteral("作業フォルダを作成しました。\n%1").arg(r.folder),
                     MessageBox::Buttons::Ok, MessageBox::Icon::Information);
    return true;
}
