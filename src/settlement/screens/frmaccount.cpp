#include "settlement/screens/frmaccount.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "core/screens/readonlyfield.h"
#include "core/session.h"
#include "export/screens/listexport.h"
#include "homework/paymentwatch.h"
#include "masters/screens/lookups.h"
#include "settlement/settlementlist.h"
#include "ui_frmaccount.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QPointer>
#include <QSignalBlocker>

namespace {

constexpr int kEmptyRows = 14;
constexpr int kRowTwips = 400;

// Runs `lost` when the field has lost the focus to another control of its
// window (not when a message box takes it for a moment).
class FocusLeftHook : public QObject {
  public:
    FocusLeftHook(QWidget* field, std::function<void()> lost)
        : QObject(field), m_field(field), m_lost(std::move(lost)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                !m_field->hasFocus())
                m_lost();
        }
        return false;
    }

  private:
    QWidget* m_field;
    std::function<void()> m_lost;
};

} // namespace

frmAccount::frmAccount(QWidget* parent) : Screen(parent), ui(new Ui::frmAccount) {
    ui->setupUi(this);
    QPushButton* exportButton = addListExport(this, ui->grd1, settlementListDefinition());
    exportButton->setGeometry(672, 490, 232, 40);
    QWidget::setTabOrder(ui->cmdBPrint, exportButton);
    setupFields();

    connect(ui->opt_0, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            modeChosen(0);
    });
    connect(ui->opt_1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            modeChosen(1);
    });
    connect(ui->opt_2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            modeChosen(2);
    });
    connect(ui->optSeisan, &QRadioButton::clicked, this, &frmAccount::chooseDatetime);
    connect(ui->cmdTest, &QPushButton::clicked, this, &frmAccount::cmdTestClick);
    connect(ui->cmdAccount, &QPushButton::clicked, this, &frmAccount::cmdAccountClick);
    connect(ui->cmdACancel, &QPushButton::clicked, this, &frmAccount::cmdACancelClick);
    connect(ui->cmdAPrint, &QPushButton::clicked, this,
            [this] { printClicked(Report::Statement); });
    connect(ui->cmdMPrint, &QPushButton::clicked, this, [this] { printClicked(Report::Cash); });
    connect(ui->cmdPPrint, &QPushButton::clicked, this, [this] { printClicked(Report::Classes); });
    connect(ui->cmdBPrint, &QPushButton::clicked, this,
            [this] { printClicked(Report::StatementAndCash); });
    connect(ui->cmdTransfer, &QPushButton::clicked, this, &frmAccount::transferClicked);
    connect(ui->cmdBack, &QPushButton::clicked, this, &frmAccount::reject);
    connect(ui->grd1, &ListGrid::rowChanged, this, &frmAccount::rowSelected);

    ClearTextBoxes(this);
    layoutList(ListReset::StartState);
    LookupPerson(ui->cboPerson_0, LookupMode::Fill);
    LookupPerson(ui->cboPerson_1, LookupMode::Fill);
    // Filling may pick an item; the range starts open on both sides.
    for (QComboBox* box : {ui->cboPerson_0, ui->cboPerson_1}) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
    setReadOnlyField(ui->txtDatetime);
    FormCenter(this);
}

frmAccount::~frmAccount() = default;

void frmAccount::setupFields() {
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormBehaviour::setCausesValidation(ui->cmdBack, false);

    setupDateBox(*behaviour, ui->txtDay_0, false);
    setupDateBox(*behaviour, ui->txtDay_1, false);
    setupDayOrTimeStampBox(ui->txtDatetime);
    behaviour->setValidator(ui->txtDay_0, [this] { return leaveDay(0); });
    behaviour->setValidator(ui->txtDay_1, [this] { return leaveDay(1); });
    behaviour->setValidator(ui->txtDatetime, [this] { return leaveDatetime(); });
    // The controls themselves, not ui: the box also loses the focus when the
    // closing screen hides, after ui is gone.
    ui->txtDatetime->installEventFilter(
        new FocusLeftHook(ui->txtDatetime, [option = QPointer<QRadioButton>(ui->optSeisan),
                                            box = QPointer<QLineEdit>(ui->txtDatetime)] {
            if (option && box) {
                option->setChecked(false);
                setReadOnlyField(box);
            }
        }));

    setupCodeCombo(ui->cboPerson_0);
    setupCodeCombo(ui->cboPerson_1);
    // Either end of the range may stay open; a typed code must exist.
    for (QComboBox* box : {ui->cboPerson_0, ui->cboPerson_1}) {
        behaviour->setValidator(box, codeComboCheck(this, box, LookupPerson,
                                                    QStringLiteral("指定の内職者は存在しません。"),
                                                    false));
    }
}

void frmAccount::showEvent(QShowEvent* event) {
    Screen::showEvent(event);
    ui->grd1->setFocus();
}

// Back from the trial screen or a preview, the list has the keyboard again.
bool frmAccount::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        ui->grd1->setFocus();
    return Screen::event(event);
}

bool frmAccount::refuseWhileRunning() {
    if (m_running)
        beep();
    return m_running;
}

void frmAccount::reject() {
    // A run is one transaction: the screen stays until it has ended.
    if (refuseWhileRunning())
        return;
    Screen::reject();
}

void frmAccount::closeEvent(QCloseEvent* event) {
    if (refuseWhileRunning()) {
        event->ignore();
        return;
    }
    Screen::closeEvent(event);
}

bool frmAccount::leaveDay(int index) {
    QLineEdit* box = index == 0 ? ui->txtDay_0 : ui->txtDay_1;
    const LeaveResult left = leaveDateBox(box->text(), false);
    if (left.outcome != LeaveOutcome::Ok) {
        MessageBox::show(this, ConventionText::BadDate);
        return false;
    }
    box->setText(left.text);
    // The usual period is a month: its last day is offered.
    if (index == 0 && !left.text.isEmpty() && trimBlanks(ui->txtDay_1->text()).isEmpty()) {
        const QDate first = parseBoxDate(left.text);
        ui->txtDay_1->setText(formatDate(first.addDays(first.daysInMonth() - first.day())));
    }
    showPaymentWarning();
    return true;
}

// The late-payment counts of the menu, for the period's deliveries.
void frmAccount::showPaymentWarning() {
    const QDate first = parseBoxDate(ui->txtDay_0->text());
    const QDate last = parseBoxDate(ui->txtDay_1->text());
    QStringList lines;
    if (first.isValid() && last.isValid() && first <= last) {
        try {
            const PaymentWatch w = watchPayments(PaymentTerms::read(), Clock::today(), first, last);
            lines << w.overdueLine() << w.dueSoonLine();
        } catch (const AppError& e) {
            lines << e.text();
        }
    }
    lines.removeAll(QString());
    ui->lblPayWarning->setText(lines.join(QLatin1Char('\n')));
}

void frmAccount::chooseDatetime() {
    if (refuseWhileRunning()) {
        ui->optSeisan->setChecked(false);
        return;
    }
    ui->optSeisan->setChecked(true);
    setReadOnlyField(ui->txtDatetime, false);
    ui->txtDatetime->setFocus();
    ui->txtDatetime->clear();
}

bool frmAccount::leaveDatetime() {
    QLineEdit* box = ui->txtDatetime;
    const QString t = box->text().trimmed();
    if (t.isEmpty()) {
        layoutList(ListReset::NoRun);
        return true;
    }
    if (t.contains(QLatin1Char(':')) || t.contains(QLatin1Char('/'))) {
        if (t.size() != 19) {
            box->clear();
            layoutList(ListReset::NoRun);
        }
        return true;
    }
    if (t == QLatin1String("0")) {
        box->clear();
        layoutList(ListReset::NoRun);
        return true;
    }
    if (DateCheck(t) != 0) {
        MessageBox::show(this, ConventionText::BadDate);
        layoutList(ListReset::NoRun);
        return false;
    }
    box->setText(formatDigitDate(t));
    layoutList(ListReset::None);
    const int listed = LoadSettlementList(0);
    if (listed == 1) {
        MessageBox::show(this, QStringLiteral("指定された日時には精算処理は行われていません。"));
        box->clear();
        layoutList(ListReset::NoRun);
        return false;
    }
    if (listed == 0)
        setPrintButtons(true);
    return true;
}

void frmAccount::modeChosen(int index) {
    ui->cmdTest->setEnabled(index == 0);
    ui->cmdAccount->setEnabled(index == 1);
    ui->cmdACancel->setEnabled(index == 2);
}

QList<QPushButton*> frmAccount::printButtons() const {
    return {ui->cmdAPrint, ui->cmdMPrint, ui->cmdBPrint, ui->cmdPPrint, ui->cmdTransfer};
}

void frmAccount::setPrintButtons(bool enabled) {
    for (QPushButton* button : printButtons())
        button->setEnabled(enabled);
}

void frmAccount::layoutList(ListReset reset) {
    showPaymentWarning(); // a run or a cancellation just changed what is unpaid
    // No highlighted row until a run is listed.
    GridLayout(ui->grd1, settlementListDefinition(), false);
    switch (reset) {
    case ListReset::StartState:
        ui->cmdTest->setEnabled(false);
        ui->cmdAccount->setEnabled(false);
        ui->cmdACancel->setEnabled(false);
        setPrintButtons(false);
        ui->opt_0->setChecked(true);
        modeChosen(0);
        break;
    case ListReset::ShowLastRun:
        if (!gSeisanTimeText.isEmpty())
            setPrintButtons(true);
        ui->txtDatetime->setText(gSeisanTimeText);
        break;
    case ListReset::NoRun:
        setPrintButtons(false);
        break;
    case ListReset::None:
        break;
    }
}

// 0 listed, 1 nothing found, 2 failed (already reported).
int frmAccount::LoadSettlementList(int mode) {
    const RunDesignation designation = designateRun(ui->txtDatetime->text());
    if (!designation.isUsable())
        return 0;
    QList<SettlementRow> rows;
    try {
        rows = ::LoadSettlementList(designation, mode == 1);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return 2;
    }
    if (rows.isEmpty()) {
        ui->txtDatetime->clear();
        return 1;
    }
    // The newest run of the day is the one printed unless a row is chosen.
    ui->txtDatetime->setText(rows.first().runText);
    ListGrid* grid = ui->grd1;
    {
        ListGrid::Fill fill(grid);
        grid->setRows(qMax(kEmptyRows, int(rows.size())) + 1);
        for (int i = 0; i < rows.size(); ++i)
            grid->setRowTexts(i + 1, settlementListCells(rows[i]));
        grid->setRowHeightTwips(kRowTwips);
    }
    {
        // The run just listed is already the one in txtDatetime.
        const QSignalBlocker quiet(grid);
        grid->selectRow(1);
    }
    return 0;
}

void frmAccount::rowSelected(int row) {
    // Any run of the list, an earlier one of the day or a cancelled one,
    // can be made the one the reports print.
    if (m_running || row < 1)
        return;
    const QString run = ui->grd1->textMatrix(row, 0);
    if (run.isEmpty())
        return;
    ui->txtDatetime->setText(run);
    setPrintButtons(true);
}

SettlementCriteria frmAccount::criteria() const {
    return {parseBoxDate(ui->txtDay_0->text()), parseBoxDate(ui->txtDay_1->text()),
            ui->cboPerson_0->currentText(), ui->cboPerson_1->currentText(), gEmpCode};
}

int frmAccount::CheckConditions() {
    const auto refuse = [this](QWidget* field, const QString& text) {
        MessageBox::show(this, text);
        field->setFocus();
        return 1;
    };
    QLineEdit* const days[] = {ui->txtDay_0, ui->txtDay_1};
    for (QLineEdit* day : days) {
        if (trimBlanks(day->text()).isEmpty())
            return refuse(day, ConventionText::Required);
        if (!parseBoxDate(day->text()).isValid())
            return refuse(day, ConventionText::BadDate);
    }
    if (parseBoxDate(ui->txtDay_1->text()) < parseBoxDate(ui->txtDay_0->text()))
        return refuse(ui->txtDay_0, QStringLiteral("日付の大小関係に誤りがあります。"));
    const QString first = workerBound(ui->cboPerson_0->currentText());
    const QString last = workerBound(ui->cboPerson_1->currentText());
    if (!first.isEmpty() && !last.isEmpty() && first > last)
        return refuse(ui->cboPerson_0, QStringLiteral("大小関係に誤りがあります。"));
    return 0;
}

void openSettlement(QWidget* parent) {
    frmAccount screen(parent);
    screen.exec();
}
