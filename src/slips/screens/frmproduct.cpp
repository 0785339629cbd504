#include "slips/screens/frmproduct.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/conventions.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "export/screens/listexport.h"
#include "masters/lookup.h"
#include "masters/screens/lookups.h"
#include "slips/screens/frmproduct2.h"
#include "slips/screens/printslips.h"
#include "slips/screens/slipscreens.h"
#include "slips/sliplist.h"
#include "slips/sliptexts.h"
#include "ui_frmproduct.h"

#include <functional>

namespace {
constexpr int kRowTwips = 400;
constexpr int kListPoints = 9;
constexpr int kSlipNoChars = 10;
constexpr int kSlipNoKeys = 5; // digits and "-"

void emptyCombo(QComboBox* box) {
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}
} // namespace

frmProduct::frmProduct(QWidget* parent, const SlipSearch& opening) : frmProduct(parent) {
    m_opening = opening;
    ui->ChkDel->setChecked(opening.hideDeleted);
    ui->chkFin->setChecked(opening.hideDelivered);
    refresh();
}

frmProduct::frmProduct(QWidget* parent) : Screen(parent), ui(new Ui::frmProduct) {
    ui->setupUi(this);
    // Sixteen columns in the widths of the slip list: a slip number or a
    // date fits its column only in the list's smaller type.
    QFont listFont = ui->grd1->font();
    listFont.setPointSize(kListPoints);
    ui->grd1->setFont(listFont);
    QPushButton* exportButton = addListExport(this, ui->grd1, slipListDefinition());
    exportButton->setGeometry(722, 668, 110, 40);
    QWidget::setTabOrder(ui->cmdUpd, exportButton);
    ClearTextBoxes(this);
    FormCenter(this);
    setupFields();

    connect(ui->grd1, &ListGrid::focusGained, this, [this] { rowSelected(ui->grd1->row()); });
    connect(ui->grd1, &ListGrid::rowChanged, this, &frmProduct::rowSelected);
    connect(ui->grd1, &ListGrid::focusLost, this, [this] {
        if (m_selectedKey.isEmpty())
            ui->cmdUpd->setEnabled(false);
    });
    connect(ui->grd1, &ListGrid::rowDoubleClicked, this, [this] { openEditor(EditMode::Edit); });
    connect(ui->cmdSelect, &QPushButton::clicked, this, [this] {
        // The order is checked on leaving the upper bound; a lower bound
        // changed afterwards is caught here rather than listing nothing.
        if (ui->chkOrder->isChecked() &&
            !slipRangeInOrder(ui->txtDet_0->text(), ui->txtDet_1->text())) {
            MessageBox::show(this, SlipText::RangeOrder);
            ui->txtDet_1->setFocus();
            return;
        }
        m_opening.reset();
        refresh();
        ui->grd1->setFocus();
    });
    connect(ui->cmdIns, &QPushButton::clicked, this, [this] { openEditor(EditMode::Add); });
    connect(ui->cmdUpd, &QPushButton::clicked, this, [this] { openEditor(EditMode::Edit); });
    connect(ui->cmdBack, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->CommandDenpyo, &QPushButton::clicked, this, &frmProduct::printDay);

    GridLayout(ui->grd1, slipListDefinition());
    resetFilters();
    if (LookupPno(ui->cboPno, LookupMode::Fill) == LookupResult::Found &&
        LookupPerson(ui->cboPerson, LookupMode::Fill) == LookupResult::Found) {
        emptyCombo(ui->cboPno);
        emptyCombo(ui->cboPerson);
    }
    LoadSlipList(ui->ChkDel->isChecked(), ui->chkFin->isChecked());
    rowSelected(ui->grd1->row());
}

frmProduct::~frmProduct() = default;

void frmProduct::setupFields() {
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormBehaviour::setCausesValidation(ui->cmdBack, false);

    // A filter box may stay empty (it then lists nothing); a typed code must exist.
    setupCodeCombo(ui->cboPerson);
    setupCodeCombo(ui->cboPno);
    behaviour->setValidator(ui->cboPerson, codeComboCheck(this, ui->cboPerson, LookupPerson,
                                                          SlipText::UnknownPerson, false));
    behaviour->setValidator(
        ui->cboPno, codeComboCheck(this, ui->cboPno, LookupPno, SlipText::UnknownPno, false));

    setupKeyedBox(ui->txtDet_0, kSlipNoKeys, kSlipNoChars);
    setupKeyedBox(ui->txtDet_1, kSlipNoKeys, kSlipNoChars);
    behaviour->setValidator(ui->txtDet_1, [this] {
        if (slipRangeInOrder(ui->txtDet_0->text(), ui->txtDet_1->text()))
            return true;
        MessageBox::show(this, SlipText::RangeOrder);
        return false;
    });

    setupDateBox(*behaviour, ui->txtReqDay, false);
    behaviour->addLeaveStep(ui->txtReqDay, [this] {
        if (ui->txtReqDay->text().isEmpty())
            ui->txtReqDay->setText(formatDate(Clock::today()));
        return true;
    });

    // A filter that is switched off forgets its value.
    const auto follow = [this](QCheckBox* check, std::function<void(bool)> apply) {
        connect(check, &QCheckBox::toggled, this, std::move(apply));
    };
    follow(ui->chkPerson, [this](bool on) {
        if (!on)
            emptyCombo(ui->cboPerson);
        ui->cboPerson->setEnabled(on);
    });
    follow(ui->ChkPno, [this](bool on) {
        if (!on)
            emptyCombo(ui->cboPno);
        ui->cboPno->setEnabled(on);
    });
    follow(ui->chkOrder, [this](bool on) {
        for (QLineEdit* box : {ui->txtDet_0, ui->txtDet_1}) {
            if (!on)
                box->clear();
            box->setEnabled(on);
        }
    });
}

void frmProduct::resetFilters() {
    ui->ChkDel->setChecked(true);
    ui->chkFin->setChecked(true);
    m_selectedKey.clear();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->txtDet_0, ui->txtDet_1, ui->cboPerson,
                                                      ui->cboPno, ui->cmdUpd})
        w->setEnabled(false);
}

SlipSearch frmProduct::search() const {
    SlipSearch s;
    s.hideDeleted = ui->ChkDel->isChecked();
    s.hideDelivered = ui->chkFin->isChecked();
    if (ui->chkPerson->isChecked())
        s.person = Lookup::key(Lookup::homeWorkers(), ui->cboPerson->currentText());
    if (ui->ChkPno->isChecked())
        s.pno = Lookup::key(Lookup::drawingNumbers(), ui->cboPno->currentText());
    s.byNumber = ui->chkOrder->isChecked();
    s.fromNo = ui->txtDet_0->text();
    s.toNo = ui->txtDet_1->text();
    return s;
}

void frmProduct::LoadSlipList(bool hideDeleted, bool hideDelivered) {
    SlipSearch s = m_opening.value_or(search());
    s.hideDeleted = hideDeleted;
    s.hideDelivered = hideDelivered;
    QList<QStringList> rows;
    try {
        rows = loadSlipRows(s);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return;
    }
    ListGrid* grid = ui->grd1;
    ListGrid::Fill fill(grid);
    // Found slips: one row each, no blank rows left from the empty layout.
    if (!rows.isEmpty())
        grid->setRows(int(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        grid->setRowTexts(r + 1, rows.at(r));
    grid->setRowHeightTwips(kRowTwips);
}

void frmProduct::refresh() {
    GridLayout(ui->grd1, slipListDefinition());
    LoadSlipList(ui->ChkDel->isChecked(), ui->chkFin->isChecked());
    rowSelected(ui->grd1->row());
}

void frmProduct::showEvent(QShowEvent* event) {
    Screen::showEvent(event);
    activated();
}

// Each time the clerk comes to this screen (opening it, back from the entry
// screen): today's request date for reprints, and the list has the keyboard.
void frmProduct::activated() {
    ui->txtReqDay->setText(formatDate(Clock::today()));
    ui->grd1->setFocus();
}

void frmProduct::rowSelected(int row) {
    m_selectedKey = row > 0 ? ui->grd1->textMatrix(row, SlipListCol::Key) : QString();
    ui->cmdUpd->setEnabled(!m_selectedKey.isEmpty());
}

void frmProduct::openEditor(EditMode mode) {
    if (m_selectedKey.isEmpty())
        mode = EditMode::Add;
    frmProduct2 editor(this, this, mode, mode == EditMode::Edit ? m_selectedKey : QString());
    editor.exec();
    activated();
    rowSelected(ui->grd1->row());
}

void frmProduct::printDay() {
    if (MessageBox::show(this, SlipText::PrintAllQuestion, MessageBox::Buttons::YesNo) ==
        MessageBox::Answer::Yes)
        PrintSlips(this, ui->txtReqDay->text());
}

void openSlipSearch(QWidget* parent) {
    frmProduct screen(parent);
    screen.exec();
}

void openSlipSearch(QWidget* parent, const SlipSearch& opening) {
    frmProduct screen(parent, opening);
    screen.exec();
}
