#include "masters/screens/masterlistscreen.h"
#include "ui_masterlistscreen.h"

#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "export/screens/listexport.h"
#include "masters/screens/mastereditscreen.h"
#include "masters/screens/masterlistloaders.h"

#include <QEvent>

namespace {
constexpr int kGridRowsShown = 15;   // the heading row and 14 data rows
constexpr int kGridFramePixels = 24; // frame and vertical scroll bar
} // namespace

MasterListScreen::MasterListScreen(const MasterDef& def, QWidget* parent)
    : Screen(parent), m_def(def), ui(new Ui::MasterListScreen) {
    ui->setupUi(this);
    setObjectName(def.listScreen);
    ui->Label2->setText(def.title);

    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });

    connect(ui->grd1, &ListGrid::focusGained, this, &MasterListScreen::selectionChanged);
    connect(ui->grd1, &ListGrid::rowChanged, this, &MasterListScreen::selectionChanged);
    connect(ui->grd1, &ListGrid::focusLost, this, &MasterListScreen::gridFocusLost);
    connect(ui->grd1, &ListGrid::rowDoubleClicked, this,
            [this] { openEditScreen(m_selectedKey.isEmpty() ? EditMode::Add : EditMode::Edit); });
    connect(ui->cmdIns, &QPushButton::clicked, this, [this] { openEditScreen(EditMode::Add); });
    connect(ui->cmdUpd, &QPushButton::clicked, this,
            [this] { openEditScreen(m_selectedKey.isEmpty() ? EditMode::Add : EditMode::Edit); });
    connect(ui->cmdSelect, &QPushButton::clicked, this, &MasterListScreen::cmdSelectClick);
    connect(ui->cmdBack, &QPushButton::clicked, this, &QDialog::reject);

    QPushButton* exportButton = addListExport(this, ui->grd1, m_def.list);
    exportButton->setMinimumSize(100, 34);
    ui->buttonRow->insertWidget(ui->buttonRow->indexOf(ui->cmdIns), exportButton);
    QWidget::setTabOrder(ui->ChkDel, exportButton);

    GridLayout(ui->grd1, m_def.list);
    resetFilters();
    int width = kGridFramePixels;
    for (int c = 0; c < ui->grd1->cols(); ++c)
        width += twipsToPixels(ui->grd1->colWidthTwips(c));
    ui->grd1->setFixedSize(width, twipsToPixels(400) * kGridRowsShown + kGridFramePixels);
    adjustSize();
    FormCenter(this);
    if (!load())
        openingFailed();
}

MasterListScreen::~MasterListScreen() = default;

bool MasterListScreen::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        ui->grd1->setFocus();
    return Screen::event(e);
}

void MasterListScreen::resetFilters() {
    ui->ChkDel->setChecked(true);
    m_selectedKey.clear();
    ui->cmdUpd->setEnabled(false);
}

bool MasterListScreen::load() {
    return loadMasterList(this, m_def, ui->ChkDel->isChecked() ? 1 : 0);
}

void MasterListScreen::refresh() {
    GridLayout(ui->grd1, m_def.list);
    load();
}

void MasterListScreen::selectionChanged() {
    const int row = ui->grd1->row();
    m_selectedKey = row > 0 ? ui->grd1->textMatrix(row, 1) : QString();
    ui->cmdUpd->setEnabled(!m_selectedKey.isEmpty());
}

void MasterListScreen::gridFocusLost() {
    if (m_selectedKey.isEmpty())
        ui->cmdUpd->setEnabled(false);
}

void MasterListScreen::cmdSelectClick() {
    refresh();
    ui->grd1->setFocus();
    selectionChanged();
}

void MasterListScreen::openEditScreen(EditMode mode) {
    MasterEditScreen edit(m_def, this, mode, mode == EditMode::Edit ? m_selectedKey : QString());
    edit.exec();
    // Back from the edit screen the grid takes the focus again and the
    // selected key is read afresh from its current row.
    ui->grd1->setFocus();
    selectionChanged();
}

void openMasterList(const MasterDef& def, QWidget* parent) {
    MasterListScreen screen(def, parent);
    screen.exec();
}
