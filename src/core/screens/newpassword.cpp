#include "core/screens/newpassword.h"

#include "core/bytetext.h"
#include "core/screens/fields.h"
#include "core/screens/messagebox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kPasswordBytes = 6;

QLineEdit* passwordBox(QWidget* parent, const QString& name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(kPasswordBytes);
    setupTextBox(box, kPasswordBytes, ImeMode::Off);
    setPasswordBox(box);
    return box;
}

} // namespace

std::optional<QString> askNewPassword(QWidget* parent, const QString& prompt) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("frmNewPassword"));
    dialog.setWindowTitle(QStringLiteral("Tarvelシステム"));
    auto* form = new QFormLayout(&dialog);
    form->addRow(new QLabel(prompt, &dialog));
    QLineEdit* first = passwordBox(&dialog, QStringLiteral("txtPassword_0"));
    QLineEdit* second = passwordBox(&dialog, QStringLiteral("txtPassword_1"));
    form->addRow(QStringLiteral("パスワード"), first);
    form->addRow(QStringLiteral("パスワード（確認）"), second);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ＯＫ"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (rtrim(first->text()).isEmpty()) {
            MessageBox::show(&dialog, QStringLiteral("パスワードを入力して下さい。"));
            first->setFocus();
        } else if (rtrim(first->text()) != rtrim(second->text())) {
            MessageBox::show(&dialog, QStringLiteral("２つのパスワードが一致しません。"
                                                     "もう一度入力して下さい。"));
            second->clear();
            second->setFocus();
        } else {
            dialog.accept();
        }
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return rtrim(first->text());
}
