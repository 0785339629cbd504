#include "app/frmmenu.h"
#include "ui_frmmenu.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/database.h"
#include "core/ini.h"
#include "core/phrasewrap.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/manualhelp.h"
#include "core/screens/messagebox.h"
#include "homework/paymentwatch.h"
#include "homework/screens/frmledger.h"
#include "homework/screens/frmyearly.h"
#include "masters/masterdef.h"
#include "masters/screens/masterlistscreen.h"
#include "prices/screens/frmwrkpricemnt.h"
#include "settlement/screens/frmaccount.h"
#include "slips/screens/slipscreens.h"
#include "slips/sliplist.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {
constexpr int kWidthTwips = 6300;
constexpr int kHeightTwips = 7650;

void leaveEveryEventLoop() {
    QCoreApplication::exit(0);
}

std::function<void()>& endProgramHook() {
    static std::function<void()> hook = leaveEveryEventLoop;
    return hook;
}
} // namespace

FrmMenu::FrmMenu(QWidget* parent) : Screen(parent), ui(new Ui::FrmMenu) {
    ui->setupUi(this);
    setFixedSize(twipsToPixels(kWidthTwips), twipsToPixels(kHeightTwips));

    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { cmdExitClick(); });

    const QList<QPushButton*> screenButtons = {
        ui->cmdNouhin, ui->cmdAccount, ui->cmdProduct, ui->cmdWrkPrice, ui->cmdPerson,
        ui->cmdEMP,    ui->cmdWorkCd,  ui->cmdPNo,     ui->cmdLedger,   ui->cmdYearly};
    for (QPushButton* button : screenButtons)
        connect(button, &QPushButton::clicked, this, [this, button] { openScreen(button); });
    connect(ui->cmdOverdue, &QPushButton::clicked, this, &FrmMenu::openOverdueSlips);
    connect(ui->cmdManual, &QPushButton::clicked, this, [this] { openManual(this, QString()); });
    connect(ui->cmdExit, &QPushButton::clicked, this, &FrmMenu::cmdExitClick);
    load();
}

FrmMenu::~FrmMenu() = default;

void FrmMenu::setEndProgram(std::function<void()> endProgram) {
    if (endProgram)
        endProgramHook() = std::move(endProgram);
    else
        endProgramHook() = leaveEveryEventLoop;
}

void FrmMenu::load() {
    ui->SystemUserName->setText(IniRead(QStringLiteral("User"), QStringLiteral("Name")));
    const bool fullMenu =
        IniRead(QStringLiteral("Access"), QStringLiteral("UID")) == QLatin1String("0");
    for (QPushButton* button : {ui->cmdAccount, ui->cmdEMP, ui->cmdPerson, ui->cmdWorkCd,
                                ui->cmdWrkPrice, ui->cmdPNo, ui->cmdLedger, ui->cmdYearly})
        button->setEnabled(fullMenu);
    showPaymentWarning();
    FormCenter(this);
}

// Counted again whenever the clerk is back on the menu: a settlement or a
// delivery just made changes them.
void FrmMenu::showPaymentWarning() {
    m_overdueUpTo = QDate();
    QString overdue, soon;
    try {
        const PaymentWatch watch = watchPayments(PaymentTerms::read(), Clock::today());
        overdue = watch.overdueLine();
        soon = watch.dueSoonLine();
        m_overdueUpTo = watch.overdueDeliveredUpTo;
    } catch (const AppError& e) {
        overdue = e.text(); // settings the clerk was told of at start-up, or no database
    }
    // What the 380-pixel warning labels hold on a line in their 10-point font.
    constexpr int kWarningLineBytes = 56;
    ui->lblPayWarning->setText(wrapAtPhrases(overdue, kWarningLineBytes));
    ui->lblDueSoon->setText(wrapAtPhrases(soon, kWarningLineBytes));
    ui->cmdOverdue->setVisible(m_overdueUpTo.isValid());
}

void FrmMenu::openOverdueSlips() {
    SlipSearch overdue;
    overdue.hideDelivered = false;
    overdue.unsettledDeliveredUpTo = m_overdueUpTo;
    try {
        openSlipSearch(this, overdue);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
    }
    showPaymentWarning();
}

// Every working screen is opened here, through its subsystem's entry
// point, modally, and returns to the menu when it closes.
void FrmMenu::openScreen(QPushButton* button) {
    try {
        if (button == ui->cmdNouhin) {
            openDeliveryRegistration(this);
        } else if (button == ui->cmdAccount) {
            openSettlement(this);
        } else if (button == ui->cmdProduct) {
            openSlipSearch(this);
        } else if (button == ui->cmdWrkPrice) {
            openPriceList(this);
        } else if (button == ui->cmdPerson) {
            openMasterList(personMaster(), this);
        } else if (button == ui->cmdEMP) {
            openMasterList(empMaster(), this);
        } else if (button == ui->cmdWorkCd) {
            openMasterList(workCodeMaster(), this);
        } else if (button == ui->cmdPNo) {
            openMasterList(pnoMaster(), this);
        } else if (button == ui->cmdLedger) {
            openLedger(this);
        } else if (button == ui->cmdYearly) {
            openYearlyStatement(this);
        }
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
    }
    showPaymentWarning();
}

void FrmMenu::cmdExitClick() {
    if (m_ending)
        return;
    m_ending = true;
    DBClose();
    done(QDialog::Accepted);
    endProgramHook()();
}

void FrmMenu::keyPressEvent(QKeyEvent* event) {
    // Escape is the exit button here, never a plain close of the dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdExitClick();
        return;
    }
    QDialog::keyPressEvent(event);
}
