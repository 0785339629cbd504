#include "prices/screens/frmwrkpricemnt.h"

#include "core/apperror.h"
#include "core/clock.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "export/screens/listexport.h"
#include "prices/pricelist.h"
#include "prices/screens/frmwrkpricemnt2.h"
#include "ui_frmwrkpricemnt.h"

namespace {
constexpr int kEmptyRows = 14; // a laid-out grid shows this many empty rows
constexpr int kRowTwips = 400;
} // namespace

frmWrkPriceMnt::frmWrkPriceMnt(QWidget* parent) : Screen(parent), ui(new Ui::frmWrkPriceMnt) {
    ui->setupUi(this);
    QPushButton* exportButton = addListExport(this, ui->grd1, priceListDefinition());
    exportButton->setGeometry(10, 536, 110, 40);
    QWidget::setTabOrder(ui->cmdCopy, exportButton);
    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });
    FormCenter(this);

    connect(ui->grd1, &ListGrid::focusGained, this, [this] { rowSelected(ui->grd1->row()); });
    connect(ui->grd1, &ListGrid::rowChanged, this, &frmWrkPriceMnt::rowSelected);
    connect(ui->grd1, &ListGrid::focusLost, this, [this] {
        if (m_selectedSerial == 0) {
            ui->cmdUpd->setEnabled(false);
            ui->cmdCopy->setEnabled(false);
        }
    });
    connect(ui->grd1, &ListGrid::rowDoubleClicked, this, [this] { openEditor(EditMode::Edit); });
    connect(ui->cmdSelect, &QPushButton::clicked, this, [this] {
        refresh();
        ui->grd1->setFocus();
    });
    connect(ui->cmdIns, &QPushButton::clicked, this, [this] { openEditor(EditMode::Add); });
    connect(ui->cmdUpd, &QPushButton::clicked, this, [this] { openEditor(EditMode::Edit); });
    connect(ui->cmdCopy, &QPushButton::clicked, this, [this] { openEditor(EditMode::Copy); });
    connect(ui->cmdBack, &QPushButton::clicked, this, &QDialog::reject);

    GridLayout(ui->grd1, priceListDefinition());
    resetFilters();
    if (!LoadPriceList(ui->ChkDel->isChecked(), ui->chkFin->isChecked()))
        openingFailed();
    rowSelected(ui->grd1->row());
}

frmWrkPriceMnt::~frmWrkPriceMnt() = default;

void frmWrkPriceMnt::resetFilters() {
    ui->ChkDel->setChecked(true);
    ui->chkFin->setChecked(true);
    m_selectedSerial = 0;
    ui->cmdUpd->setEnabled(false);
    ui->cmdCopy->setEnabled(false);
}

void frmWrkPriceMnt::showEvent(QShowEvent* event) {
    Screen::showEvent(event);
    ui->grd1->setFocus();
}

bool frmWrkPriceMnt::LoadPriceList(bool hideDeleted, bool hideExpired) {
    ListGrid* grid = ui->grd1;
    ListGrid::Fill fill(grid);
    try {
        const QList<PriceListRow> rows = loadPriceRows(hideDeleted, hideExpired, Clock::today());
        grid->setRows(qMax(kEmptyRows, int(rows.size())) + 1);
        for (int i = 0; i < rows.size(); ++i)
            grid->setRowTexts(i + 1, rows[i].cells());
        grid->setRowHeightTwips(kRowTwips);
    } catch (const AppError& e) {
        MessageBox::error(this, e.text());
        return false;
    }
    return true;
}

void frmWrkPriceMnt::refresh() {
    GridLayout(ui->grd1, priceListDefinition());
    LoadPriceList(ui->ChkDel->isChecked(), ui->chkFin->isChecked());
    // The highlighted row after a reload is the one the buttons act on.
    rowSelected(ui->grd1->row());
}

void frmWrkPriceMnt::rowSelected(int row) {
    const QString key = row > 0 ? ui->grd1->textMatrix(row, 0) : QString();
    m_selectedSerial = key.isEmpty() ? 0 : key.toLongLong();
    ui->cmdUpd->setEnabled(m_selectedSerial != 0);
    ui->cmdCopy->setEnabled(m_selectedSerial != 0);
}

void frmWrkPriceMnt::openEditor(EditMode mode) {
    if (m_selectedSerial == 0)
        mode = EditMode::Add;
    frmWrkPriceMnt2 editor(this, mode, mode == EditMode::Add ? 0 : m_selectedSerial);
    editor.exec();
    // Back from the edit screen the list takes the keyboard again.
    ui->grd1->setFocus();
    rowSelected(ui->grd1->row());
}

void openPriceList(QWidget* parent) {
    frmWrkPriceMnt screen(parent);
    screen.exec();
}
