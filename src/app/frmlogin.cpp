#include "app/frmlogin.h"
#include "ui_frmlogin.h"

#include "app/frmmenu.h"
#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/database.h"
#include "core/employeepassword.h"
#include "core/login.h"
#include "core/screens/fieldhooks.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "core/screens/newpassword.h"
#include "core/session.h"
#include "homework/paymentterms.h"
#include "settlement/consumptiontax.h"

namespace {
constexpr int kWidthTwips = 5400;
constexpr int kHeightTwips = 3600;
constexpr int kCodeBytes = 10;
constexpr int kPasswordBytes = 6;
} // namespace

FrmLogin::FrmLogin(QWidget* parent) : QWidget(parent), ui(new Ui::FrmLogin) {
    ui->setupUi(this);
    setFixedSize(twipsToPixels(kWidthTwips), twipsToPixels(kHeightTwips));
    setupTextBox(ui->txt_0, kCodeBytes, ImeMode::Off);
    setupTextBox(ui->txt_1, kPasswordBytes, ImeMode::Off);

    // Escape is ignored here: no escape handler.
    auto* behaviour = new FormBehaviour(this);
    behaviour->setValidator(ui->txt_0, [this] { return validateCode(); });
    connect(ui->cmdLogin, &QPushButton::clicked, this, &FrmLogin::cmdLoginClick);

    m_runMenu = [] {
        FrmMenu menu;
        menu.exec();
    };
    load();
}

FrmLogin::~FrmLogin() = default;

void FrmLogin::setMenuRunner(std::function<void()> runMenu) {
    m_runMenu = std::move(runMenu);
}

void FrmLogin::load() {
    FormCenter(this);
    ClearTextBoxes(this);
    gEmpCode.clear();
    // Opening may wait seconds for a database another program holds; the
    // screen is up by then.
    afterFirstPaint(this, [this] {
        try {
            // A mistyped tax setting is named now, not first at a settlement
            // (which refuses to run with it).
            readTaxRules();
        } catch (const AppError& e) {
            MessageBox::error(this, e.text());
        }
        try {
            DBOpen();
        } catch (const AppError& e) {
            MessageBox::error(this, e.text());
            return;
        }
        // Wrong payment terms would print wrong due dates: said at once.
        try {
            PaymentTerms::read();
        } catch (const AppError& e) {
            MessageBox::error(this, e.text());
        }
        const QString warning = takeDatabaseWarning();
        if (!warning.isEmpty())
            MessageBox::show(this, warning, MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation);
    });
}

bool FrmLogin::validateCode() {
    const QString code = ui->txt_0->text();
    if (code.isEmpty()) {
        MessageBox::show(this, QStringLiteral("入力必須項目です。"));
        return false;
    }
    try {
        if (LoginCheck(rtrim(code)) != 0) {
            MessageBox::show(this, QStringLiteral("社員コードの入力に誤りがあります。"));
            return false;
        }
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return false;
    }
    return true;
}

void FrmLogin::cmdLoginClick() {
    // The code is checked again here so that no way past the code box (or
    // an employee deleted meanwhile) can log in on a stale or empty code.
    if (!validateCode()) {
        ui->txt_0->setFocus();
        return;
    }
    bool matches = false;
    try {
        matches = loginPasswordMatches(gEmpCode, ui->txt_1->text());
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return;
    }
    if (!matches) {
        MessageBox::show(this, QStringLiteral("パスワードの入力に誤りがあります。"));
        ui->txt_1->setFocus();
        return;
    }
    offerPassword();
    m_runMenu();
    close();
}

void FrmLogin::offerPassword() {
    try {
        if (employeeHasPassword(gEmpCode) ||
            MessageBox::show(this,
                             QStringLiteral("パスワードが設定されていません。"
                                            "いま設定しますか？"),
                             MessageBox::Buttons::YesNo,
                             MessageBox::Icon::Question) != MessageBox::Answer::Yes)
            return;
        if (const std::optional<QString> password =
                askNewPassword(this, QStringLiteral("社員コード %1 のパスワード").arg(gEmpCode)))
            storeEmployeePassword(gEmpCode, *password);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
    }
}
