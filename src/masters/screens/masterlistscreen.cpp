#include "masters/screens/masterlistscreen.h"
#include "ui_masterlistscreen.h"

#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/gridlayout.h"
#include "core/screens/listgrid.h"
#include "core/session.h"
#include "masters/screens/mastereditscreen.h"
#include "masters/screens/masterlistloaders.h"

#include <QEvent>

namespace {
constexpr int kGridRowsShown = 15;   // the heading row and 14 data rows
constexpr int kGridFramePixels = 24; // frame and vertical scroll bar
} // namespace

MasterListScreen::MasterListScreen(const MasterDef& def, QWidget* parent)
    : QDialog(parent), m_def(def), ui(new Ui::MasterListScreen) {
    ui->setupUi(this);
    setObjectName(def.listScreen);
    ui->Label2->setText(def.title);

    auto* behaviour = new FormBehaviour(this);
    behaviour->setEscapeHandler([this] { reject(); });

    connect(ui->grd1, &ListGrid::focusGained, this, &MasterListScreen::selectionChanged);
    connect(ui->grd1, &ListGrid::rowChanged, this, &MasterListScreen::selectionChanged);
    connect(ui->grd1, &ListGrid::focusLost, this, &MasterListScreen::gridFocusLost);
    connect(ui->grd1, &ListGrid::rowDoubleClicked, this, &MasterListScreen::cmdUpdClick);
    connect(ui->cmdIns, &QPushButton::clicked, this, [this] {
        gEditMode = 1;
        openEditScreen();
    });
    connect(ui->cmdUpd, &QPushButton::clicked, this, &MasterListScreen::cmdUpdClick);
    connect(ui->cmdSelect, &QPushButton::clicked, this, &MasterListScreen::cmdSelectClick);
    connect(ui->cmdBack, &QPushButton::clicked, this, &QDialog::reject);

    GridLayout(this, m_def.gridKind, 1, 1);
    int width = kGridFramePixels;
    for (int c = 0; c < ui->grd1->cols(); ++c)
        width += twipsToPixels(ui->grd1->colWidthTwips(c));
    ui->grd1->setFixedSize(width, twipsToPixels(400) * kGridRowsShown + kGridFramePixels);
    adjustSize();
    FormCenter(this);
    refresh();
}

MasterListScreen::~MasterListScreen() {
    delete ui;
}

int MasterListScreen::hideDeletedFlag() const {
    return ui->ChkDel->isChecked() ? 1 : 0;
}

bool MasterListScreen::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        ui->grd1->setFocus();
    return QDialog::event(e);
}

void MasterListScreen::refresh() {
    LoadMasterList(this, m_def, hideDeletedFlag());
}

void MasterListScreen::selectionChanged() {
    const int row = ui->grd1->row();
    const QString code = row > 0 ? ui->grd1->textMatrix(row, 1) : QString();
    gSelKey = code;
    ui->cmdUpd->setEnabled(!code.isEmpty());
}

void MasterListScreen::gridFocusLost() {
    if (gSelKey.isEmpty())
        ui->cmdUpd->setEnabled(false);
}

void MasterListScreen::cmdUpdClick() {
    gEditMode = gSelKey.isEmpty() ? 1 : 2;
    openEditScreen();
}

void MasterListScreen::cmdSelectClick() {
    GridLayout(this, m_def.gridKind, 0, 1);
    refresh();
    ui->grd1->setFocus();
    selectionChanged();
}

void MasterListScreen::openEditScreen() {
    MasterEditScreen edit(m_def, this);
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
