#include "slips/screens/frmproduct2.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/phrasewrap.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/readonlyfield.h"
#include "masters/lookup.h"
#include "masters/screens/lookups.h"
#include "prices/pricelookup.h"
#include "prices/screens/frmwrkpricemnt2.h"
#include "slips/screens/frmproduct.h"
#include "slips/screens/printslips.h"
#include "slips/slipentry.h"
#include "slips/slipstore.h"
#include "slips/sliptexts.h"
#include "ui_frmproduct2.h"

#include <functional>

namespace {
constexpr int kQuantityKeys = 3; // digits and ","
constexpr int kQuantityChars = 6;
constexpr int kNoteLineBytes = 60; // what the note under the fields holds on a line
const QString kZero = QStringLiteral("0");
} // namespace

frmProduct2::frmProduct2(QWidget* parent, frmProduct* list, EditMode mode, const QString& slipNo)
    : Screen(parent), ui(new Ui::frmProduct2), m_list(list),
      m_mode(mode == EditMode::Edit ? EditMode::Edit : EditMode::Add) {
    ui->setupUi(this);
    FormCenter(this);
    ClearTextBoxes(this);
    ui->Picture1->setEnabled(false);
    ui->Picture1->lower();
    ui->lblPaidNote->hide();
    setupFields();
    fillCombos();
    if (m_mode == EditMode::Edit)
        loadRecord(slipNo);
    else
        newRecord();
    ui->lblMode->setText(m_mode == EditMode::Edit ? SlipText::ModeEdit : SlipText::ModeAdd);
    for (QWidget* shown : {ui->txtDet_0, ui->txtMon_1, ui->txtMon_2})
        setReadOnlyField(shown);

    connect(ui->ChkDel, &QCheckBox::clicked, this, [this](bool checked) {
        if (deletionChanged(loadedStatus(), checked))
            MessageBox::show(this, SlipText::StatusChanges, MessageBox::Buttons::Ok,
                             MessageBox::Icon::Exclamation);
    });
    connect(ui->cmdUpd, &QPushButton::clicked, this, &frmProduct2::save);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    if (m_loaded && m_loaded->paid)
        lockPaidFields();
    else
        ui->cboPerson->setFocus();
}

frmProduct2::~frmProduct2() = default;

void frmProduct2::setupFields() {
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormBehaviour::setCausesValidation(ui->cmdCancel, false);

    setupCodeCombo(ui->cboPerson);
    setupCodeCombo(ui->cboPno);
    setupCodeCombo(ui->cboWNo);
    behaviour->setValidator(
        ui->cboPerson, codeComboCheck(this, ui->cboPerson, LookupPerson, SlipText::UnknownPerson));
    behaviour->setValidator(ui->cboPno,
                            codeComboCheck(this, ui->cboPno, LookupPno, SlipText::UnknownPno));
    behaviour->setValidator(
        ui->cboWNo, codeComboCheck(this, ui->cboWNo, LookupWorkCode, SlipText::UnknownWorkCode));

    // 作業区分 opens with the input method off but may switch it on; the lot
    // number never takes it.
    setupTextBox(ui->txtDet_1, 20, ImeMode::Hiragana);
    setupTextBox(ui->txtDet_2, 20, ImeMode::Off);
    setupTextBox(ui->txtDet_3, 50, ImeMode::Hiragana);

    setupDateBox(*behaviour, ui->txtDay_0, true);
    setupDateBox(*behaviour, ui->txtDay_1, false);
    setupDateBox(*behaviour, ui->txtDay_2, false);
    behaviour->addLeaveStep(ui->txtDay_0, [this] {
        showPrice(true);
        return true;
    });
    behaviour->addLeaveStep(ui->txtDay_2, [this] {
        if (settlementDateChanged(loadedStatus(), ui->txtDay_2->text()))
            MessageBox::show(this, SlipText::StatusChanges, MessageBox::Buttons::Ok,
                             MessageBox::Icon::Exclamation);
        return true;
    });

    for (QLineEdit* quantity : {ui->txtMon_0, ui->txtMon_3}) {
        setupNumericBox(*behaviour, quantity, kQuantityKeys, kQuantityChars, 0, false);
        behaviour->addLeaveStep(quantity, [this, quantity] {
            if (quantity->text().isEmpty())
                quantity->setText(kZero);
            if (quantity == ui->txtMon_0)
                ui->txtMon_2->setText(slipTotalText(ui->txtMon_0->text(), ui->txtMon_1->text()));
            return true;
        });
    }
}

void frmProduct2::fillCombos() {
    if (LookupPerson(ui->cboPerson, LookupMode::Fill) != LookupResult::Found ||
        LookupPno(ui->cboPno, LookupMode::Fill) != LookupResult::Found ||
        LookupWorkCode(ui->cboWNo, LookupMode::Fill) != LookupResult::Found)
        return; // already reported
    // Filling may pick the first item; the slip's own codes come next.
    for (QComboBox* box : {ui->cboPerson, ui->cboPno, ui->cboWNo}) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
}

void frmProduct2::newRecord() {
    SlipRecord r;
    try {
        r = newSlipRecord();
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
    }
    // An empty number: the day's numbers are used up (the save says so).
    ui->txtDet_0->setText(r.slipNo);
    for (QLineEdit* box : {ui->txtMon_0, ui->txtMon_1, ui->txtMon_2, ui->txtMon_3})
        box->setText(kZero);
    ui->txtDay_0->setText(formatDate(Clock::today()));
}

void frmProduct2::loadRecord(const QString& slipNo) {
    try {
        m_loaded = LoadSlipRecord(slipNo);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return;
    }
    if (!m_loaded)
        return; // a save reports the failure
    const SlipRecord& r = *m_loaded;
    ui->txtDet_0->setText(r.slipNo);
    ui->cboPerson->setEditText(r.personItem);
    ui->cboPno->setEditText(r.pnoItem);
    ui->cboWNo->setEditText(r.wnoItem);
    ui->txtDet_1->setText(r.workKind);
    ui->txtDay_0->setText(r.requestDate);
    ui->txtMon_0->setText(r.issued);
    ui->txtMon_3->setText(r.delivered);
    ui->txtDay_1->setText(r.deliveryDate);
    ui->txtDet_2->setText(r.lot);
    ui->txtDet_3->setText(r.remark);
    ui->txtDay_2->setText(r.settlementDate);
    ui->ChkDel->setChecked(r.deleted);
    showPrice(false);
}

// What a paid slip was paid for cannot change here: the clerk sees it at
// once instead of at 更新.
void frmProduct2::lockPaidFields() {
    for (QWidget* field :
         std::initializer_list<QWidget*>{ui->cboPerson, ui->cboPno, ui->cboWNo, ui->txtDay_0,
                                         ui->txtMon_3, ui->txtDay_2, ui->ChkDel}) {
        setReadOnlyField(field);
        field->setToolTip(SlipText::PaidField);
    }
    ui->lblPaidNote->setText(wrapAtPhrases(SlipText::PaidField, kNoteLineBytes));
    ui->lblPaidNote->show();
    ui->txtDet_1->setFocus();
}

SlipInput frmProduct2::input() const {
    SlipInput in;
    in.pno = Lookup::key(Lookup::drawingNumbers(), ui->cboPno->currentText());
    in.wno = Lookup::key(Lookup::workCodes(), ui->cboWNo->currentText());
    in.person = Lookup::key(Lookup::homeWorkers(), ui->cboPerson->currentText());
    in.workKind = ui->txtDet_1->text();
    in.requestDate = ui->txtDay_0->text();
    in.issued = ui->txtMon_0->text();
    in.delivered = ui->txtMon_3->text();
    in.deliveryDate = ui->txtDay_1->text();
    in.lot = ui->txtDet_2->text();
    in.remark = ui->txtDet_3->text();
    in.settlementDate = ui->txtDay_2->text();
    in.deleted = ui->ChkDel->isChecked();
    return in;
}

// 単価 and 合計 for the slip as typed; false when the look-up failed (shown).
bool frmProduct2::showPrice(bool tellWhenMissing) {
    SlipPriceView view;
    try {
        view = slipPriceView(input(), loaded());
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return false;
    }
    ui->txtMon_1->setText(view.price);
    ui->txtMon_2->setText(view.total);
    if (!view.found && tellWhenMissing)
        MessageBox::show(this, SlipText::NoPrice, MessageBox::Buttons::Ok,
                         MessageBox::Icon::Exclamation);
    return true;
}

void frmProduct2::focusField(SlipField field) {
    switch (field) {
    case SlipField::Pno:
        ui->cboPno->setFocus();
        break;
    case SlipField::WNo:
        ui->cboWNo->setFocus();
        break;
    case SlipField::Person:
        ui->cboPerson->setFocus();
        break;
    case SlipField::RequestDate:
        ui->txtDay_0->setFocus();
        break;
    case SlipField::None:
        break;
    }
}

// Offers the unit price entry for exactly this combination; Yes opens it
// and shows the price in force once it closes.
MessageBox::Answer frmProduct2::WrkPriceRegist() {
    const MessageBox::Answer answer =
        MessageBox::show(this, SlipText::RegisterPriceQuestion, MessageBox::Buttons::YesNoCancel,
                         MessageBox::Icon::Exclamation);
    if (answer == MessageBox::Answer::Yes) {
        frmWrkPriceMnt2 entry(this, ui->cboPno->currentText(), ui->cboWNo->currentText(),
                              ui->cboPerson->currentText(), parseBoxDate(ui->txtDay_0->text()));
        entry.exec();
        showPrice(false);
    }
    return answer;
}

void frmProduct2::save() {
    const SlipInput in = input();
    // An empty required field first: a price or print question about a
    // slip that cannot be saved helps no one.
    const SlipField missing = CheckRequired(in);
    if (missing != SlipField::None) {
        MessageBox::show(this, ConventionText::Required);
        focusField(missing);
        return;
    }
    SlipQuestion question;
    try {
        if (m_loaded && m_loaded->paid && paidFieldsChanged(in, *m_loaded, true)) {
            MessageBox::show(this, SlipText::PaidLocked, MessageBox::Buttons::Ok,
                             MessageBox::Icon::Exclamation);
            return;
        }
        question = slipSaveQuestion(in, loaded());
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return;
    }
    bool print = false;
    switch (question) {
    case SlipQuestion::RegisterPrice:
        if (WrkPriceRegist() == MessageBox::Answer::Cancel)
            return;
        break;
    case SlipQuestion::StatusChange:
        if (MessageBox::show(this, SlipText::StatusQuestion, MessageBox::Buttons::OkCancel,
                             MessageBox::Icon::Exclamation) == MessageBox::Answer::Cancel)
            return;
        break;
    case SlipQuestion::Add:
    case SlipQuestion::Update: {
        const QString& text =
            question == SlipQuestion::Add ? SlipText::AddQuestion : SlipText::UpdateQuestion;
        const MessageBox::Answer answer =
            MessageBox::show(this, text, MessageBox::Buttons::YesNoCancel);
        if (answer == MessageBox::Answer::Cancel)
            return;
        print = answer == MessageBox::Answer::Yes;
        break;
    }
    }
    if (!store(in))
        return;
    if (print)
        PrintSlips(this, m_savedNo);
    if (m_list)
        m_list->refresh();
    accept();
}

// Writes the slip; on failure the screen stays open with the clerk's input.
bool frmProduct2::store(const SlipInput& in) {
    try {
        if (m_mode == EditMode::Add) {
            m_savedNo = InsertSlip(in);
        } else {
            if (!m_loaded)
                throw AppError(SlipText::UpdateFailed);
            UpdateSlip(in, *m_loaded);
            m_savedNo = m_loaded->slipNo;
        }
    } catch (const DbError& e) {
        MessageBox::error(this, e.text());
        if (m_mode == EditMode::Edit)
            MessageBox::show(this, SlipText::UpdateFailed);
        return false;
    } catch (const SlipNumbersUsedUp& e) {
        MessageBox::show(this, e.text(), MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation);
        ui->txtDet_0->clear(); // no number left today
        return false;
    } catch (const PaidSlipLocked& e) {
        MessageBox::show(this, e.text(), MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation);
        return false;
    } catch (const AppError& e) {
        MessageBox::show(this, e.text());
        return false;
    }
    return true;
}
