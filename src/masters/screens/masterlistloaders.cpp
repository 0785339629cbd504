#include "masters/screens/masterlistloaders.h"

#include "core/apperror.h"
#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "masters/masterrecord.h"

#include <QWidget>

bool loadMasterList(QWidget* form, const MasterDef& def, int hideDeleted) {
    ListGrid* grid = form->findChild<ListGrid*>(QStringLiteral("grd1"));
    if (!grid)
        return false;
    QList<QStringList> rows;
    try {
        rows = masterListRows(def, hideDeleted == 1);
    } catch (const AppError& e) {
        MessageBox::error(form, e.text());
        return false;
    }
    ListGrid::Fill fill(grid);
    if (rows.size() + 1 > grid->rows())
        grid->setRows(int(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        grid->setRowTexts(r + 1, rows.at(r));
    grid->setRowHeightTwips(400);
    return true;
}

bool LoadPnoList(QWidget* form, int hideDeleted) {
    return loadMasterList(form, pnoMaster(), hideDeleted);
}

bool LoadWorkCodeList(QWidget* form, int hideDeleted) {
    return loadMasterList(form, workCodeMaster(), hideDeleted);
}

bool LoadEmpList(QWidget* form, int hideDeleted) {
    return loadMasterList(form, empMaster(), hideDeleted);
}

bool LoadPersonList(QWidget* form, int hideDeleted) {
    return loadMasterList(form, personMaster(), hideDeleted);
}
