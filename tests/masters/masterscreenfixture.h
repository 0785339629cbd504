#pragma once

#include "core/screens/listgrid.h"
#include "core/screens/messagebox.h"
#include "masters/masterdef.h"
#include "masters/screens/mastereditscreen.h"
#include "masters/screens/masterlistscreen.h"
#include "support/guitest.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

// A master list screen shown offscreen and, on request, its edit screen
// shown over it (not modally, so that the test can drive it).
struct MasterScreens {
    explicit MasterScreens(const MasterDef& def) : list(def) {
        list.show();
        activate(&list);
    }

    static void activate(QWidget* window) {
        QApplication::setActiveWindow(window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    MasterEditScreen* openEdit(EditMode mode, const QString& key = QString()) {
        edit = std::make_unique<MasterEditScreen>(list.def(), &list, mode, key);
        edit->show();
        activate(edit.get());
        return edit.get();
    }

    ListGrid* grid() { return list.findChild<ListGrid*>(QStringLiteral("grd1")); }
    QPushButton* listButton(const char* name) {
        return list.findChild<QPushButton*>(QString::fromUtf8(name));
    }
    QCheckBox* listFilter() { return list.findChild<QCheckBox*>(QStringLiteral("ChkDel")); }
    QLineEdit* box(const QString& name) { return edit->findChild<QLineEdit*>(name); }
    QLineEdit* det(int index) { return box(QStringLiteral("txtDet_%1").arg(index)); }
    QCheckBox* editDeleted() { return edit->findChild<QCheckBox*>(QStringLiteral("ChkDel")); }
    void clickUpdate() {
        QTest::mouseClick(edit->findChild<QPushButton*>(QStringLiteral("cmdUpd")), Qt::LeftButton);
    }
    // Codes in grid column 1, rows 1.. up to the first empty one.
    QStringList listedCodes() {
        QStringList codes;
        for (int r = 1; r < grid()->rows() && !grid()->textMatrix(r, 1).isEmpty(); ++r)
            codes << grid()->textMatrix(r, 1);
        return codes;
    }

    MasterListScreen list;
    std::unique_ptr<MasterEditScreen> edit;
};
