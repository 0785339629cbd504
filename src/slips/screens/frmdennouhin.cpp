#include "slips/screens/frmdennouhin.h"

#include "core/apperror.h"
#include "core/bytetext.h"
#include "core/screens/fields.h"
#include "core/screens/messagebox.h"
#include "slips/screens/frmproduct2.h"
#include "slips/screens/slipscreens.h"
#include "slips/slipstore.h"
#include "slips/sliptexts.h"
#include "ui_frmdennouhin.h"

#include <QKeyEvent>

namespace {
constexpr int kSlipNoBytes = 10;
}

frmDenNouhin::frmDenNouhin(QWidget* parent) : Screen(parent), ui(new Ui::frmDenNouhin) {
    ui->setupUi(this);
    // A scanner types like a keyboard: with the input method on, the number
    // would arrive as a composition instead of plain text.
    setupTextBox(ui->TextDno, kSlipNoBytes, ImeMode::Off);
    ui->TextDno->clear();
    FormCenter(this);
    connect(ui->TextDno, &QLineEdit::returnPressed, this, &frmDenNouhin::scanned);
}

frmDenNouhin::~frmDenNouhin() = default;

void frmDenNouhin::showEvent(QShowEvent* event) {
    Screen::showEvent(event);
    readyForNextScan();
}

void frmDenNouhin::keyPressEvent(QKeyEvent* event) {
    // Escape does not close this screen (QDialog's default would).
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmDenNouhin::readyForNextScan() {
    ui->TextDno->clear();
    ui->TextDno->setFocus();
}

void frmDenNouhin::scanned() {
    const QString typed = ui->TextDno->text();
    bool found = false;
    try {
        found = SlipExists(typed);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        readyForNextScan();
        return;
    }
    readyForNextScan();
    if (!found) {
        MessageBox::show(this, SlipText::notRegistered(typed), MessageBox::Buttons::Ok,
                         MessageBox::Icon::Critical);
        readyForNextScan();
        return;
    }
    // A scanner or a hand may add a blank after the number.
    frmProduct2 entry(this, nullptr, EditMode::Edit, rtrim(typed));
    entry.exec();
    readyForNextScan();
}

void openDeliveryRegistration(QWidget* parent) {
    frmDenNouhin screen(parent);
    screen.exec();
}
