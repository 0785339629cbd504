#include "prices/screens/frmwrkpricemnt2.h"

#include "core/apperror.h"
#include "core/conventions.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"
#include "masters/lookup.h"
#include "masters/screens/lookups.h"
#include "prices/priceinput.h"
#include "prices/pricestore.h"
#include "prices/screens/frmwrkpricemnt.h"
#include "ui_frmwrkpricemnt2.h"

#include <functional>

namespace {

const QString kEditFailed = QStringLiteral("作業単価の編集に失敗しました。");

QString modeCaption(EditMode mode) {
    switch (mode) {
    case EditMode::Edit:
        return QStringLiteral("編　集");
    case EditMode::Copy:
        return QStringLiteral("複　写");
    case EditMode::Add:
        break;
    }
    return QStringLiteral("追　加");
}

QString confirmation(EditMode mode) {
    switch (mode) {
    case EditMode::Edit:
        return QStringLiteral("作業単価を編集しますか？");
    case EditMode::Copy:
        return QStringLiteral("作業単価を複写しますか？");
    case EditMode::Add:
        break;
    }
    return QStringLiteral("作業単価を追加しますか？");
}

} // namespace

frmWrkPriceMnt2::frmWrkPriceMnt2(frmWrkPriceMnt* list, EditMode mode, qint64 serial)
    : frmWrkPriceMnt2(list, list, mode, serial) {}

frmWrkPriceMnt2::frmWrkPriceMnt2(QWidget* parent, const QString& pnoText, const QString& wnoText,
                                 const QString& personText, const QDate& firstDay)
    : frmWrkPriceMnt2(parent, nullptr, EditMode::Add, 0) {
    if (firstDay.isValid())
        ui->txtDay_0->setText(formatDate(firstDay));
    ui->cboPno->setEditText(pnoText);
    ui->cboWNo->setEditText(wnoText);
    ui->cboPerson->setEditText(personText);
    // A bare code becomes its full item line; an unknown one stays as given
    // and is reported when the clerk leaves the box or saves.
    if (!pnoText.trimmed().isEmpty())
        LookupPno(ui->cboPno, LookupMode::Find);
    if (!wnoText.trimmed().isEmpty())
        LookupWorkCode(ui->cboWNo, LookupMode::Find);
    if (!personText.trimmed().isEmpty())
        LookupPerson(ui->cboPerson, LookupMode::Find);
}

frmWrkPriceMnt2::frmWrkPriceMnt2(QWidget* parent, frmWrkPriceMnt* list, EditMode mode,
                                 qint64 serial)
    : Screen(parent), ui(new Ui::frmWrkPriceMnt2), m_list(list), m_mode(mode), m_serial(serial) {
    ui->setupUi(this);
    FormCenter(this);
    ClearTextBoxes(this);
    ui->Picture1->setEnabled(false);
    ui->Picture1->lower();
    setupFields();
    fillCombos();
    if (m_mode != EditMode::Add)
        loadRecord();
    ui->lblMode->setText(modeCaption(m_mode));
    connect(ui->cmdUpd, &QPushButton::clicked, this, &frmWrkPriceMnt2::save);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    ui->cboPno->setFocus();
}

frmWrkPriceMnt2::~frmWrkPriceMnt2() = default;

void frmWrkPriceMnt2::setupFields() {
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormBehaviour::setCausesValidation(ui->cmdCancel, false);

    setupCodeCombo(ui->cboPno);
    setupCodeCombo(ui->cboWNo);
    setupCodeCombo(ui->cboPerson);
    behaviour->setValidator(ui->cboPno,
                            codeComboCheck(this, ui->cboPno, LookupPno,
                                           QStringLiteral("指定の製品図番は存在しません。")));
    behaviour->setValidator(ui->cboWNo,
                            codeComboCheck(this, ui->cboWNo, LookupWorkCode,
                                           QStringLiteral("指定の作業コードは存在しません。")));
    behaviour->setValidator(ui->cboPerson,
                            codeComboCheck(this, ui->cboPerson, LookupPerson,
                                           QStringLiteral("指定の内職者は存在しません。")));
    setupNumericBox(*behaviour, ui->txtMon, 4, 12, 3, true);
    setupTextBox(ui->txtDet_0, 50);
    setupDateBox(*behaviour, ui->txtDay_0, true);
    setupDateBox(*behaviour, ui->txtDay_1, false);
}

void frmWrkPriceMnt2::fillCombos() {
    if (LookupPno(ui->cboPno, LookupMode::Fill) != LookupResult::Found ||
        LookupWorkCode(ui->cboWNo, LookupMode::Fill) != LookupResult::Found ||
        LookupPerson(ui->cboPerson, LookupMode::Fill) != LookupResult::Found)
        return; // already reported
    // Filling may pick the first item; a new line starts with empty boxes.
    for (QComboBox* box : {ui->cboPno, ui->cboWNo, ui->cboPerson}) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
}

void frmWrkPriceMnt2::loadRecord() {
    std::optional<PriceRecord> r;
    try {
        r = LoadPriceRecord(m_serial);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return;
    }
    if (!r)
        return;
    ui->cboPno->setEditText(Lookup::itemText(Lookup::drawingNumbers(), r->pno, r->pnoName));
    ui->cboWNo->setEditText(Lookup::itemText(Lookup::workCodes(), r->wno, r->workName));
    ui->cboPerson->setEditText(Lookup::itemText(Lookup::homeWorkers(), r->person, r->personName));
    ui->txtMon->setText(r->priceText);
    ui->txtDet_0->setText(r->remark);
    ui->txtDay_0->setText(formatDate(r->start));
    ui->txtDay_1->setText(formatDate(r->end));
    ui->ChkDel->setChecked(r->deleted);
}

PriceInput frmWrkPriceMnt2::input() const {
    PriceInput in;
    in.mode = m_mode;
    in.serial = m_serial;
    in.pno = Lookup::key(Lookup::drawingNumbers(), ui->cboPno->currentText());
    in.wno = Lookup::key(Lookup::workCodes(), ui->cboWNo->currentText());
    in.person = Lookup::key(Lookup::homeWorkers(), ui->cboPerson->currentText());
    in.priceText = ui->txtMon->text();
    in.startText = ui->txtDay_0->text();
    in.endText = ui->txtDay_1->text();
    in.remark = ui->txtDet_0->text();
    in.deleted = ui->ChkDel->isChecked();
    return in;
}

void frmWrkPriceMnt2::focusField(PriceField field) {
    QWidget* target = nullptr;
    switch (field) {
    case PriceField::Pno:
        target = ui->cboPno;
        break;
    case PriceField::WNo:
        target = ui->cboWNo;
        break;
    case PriceField::Person:
        target = ui->cboPerson;
        break;
    case PriceField::Mon:
        target = ui->txtMon;
        break;
    case PriceField::Start:
        target = ui->txtDay_0;
        break;
    case PriceField::End:
        target = ui->txtDay_1;
        break;
    case PriceField::None:
        return;
    }
    target->setFocus();
}

void frmWrkPriceMnt2::save() {
    if (MessageBox::show(this, confirmation(m_mode), MessageBox::Buttons::OkCancel) !=
        MessageBox::Answer::Ok)
        return;
    if (m_mode == EditMode::Edit && m_serial == 0) {
        MessageBox::show(this, kEditFailed);
        return;
    }
    const PriceInput in = input();
    try {
        const PriceCheck check = CheckPriceInput(in);
        if (!check.ok()) {
            MessageBox::show(this, check.message);
            focusField(check.focus);
            return;
        }
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return;
    }
    // A failed write keeps the screen open with the clerk's input.
    try {
        if (m_mode == EditMode::Edit) {
            SavePriceEdit(in);
            m_savedSerial = m_serial;
        } else {
            m_savedSerial = SavePriceNew(in);
        }
    } catch (const DbError& e) {
        MessageBox::error(this, e.text());
        if (m_mode == EditMode::Edit)
            MessageBox::show(this, kEditFailed);
        return;
    } catch (const AppError& e) {
        MessageBox::show(this, e.text());
        return;
    }
    if (m_list)
        m_list->refresh();
    accept();
}
