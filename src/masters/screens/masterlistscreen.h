#pragma once

#include "masters/masterdef.h"

#include <QDialog>

namespace Ui {
class MasterListScreen;
}
class ListGrid;

// The list screen of one master (frmPNoMnt, frmWorkNoMnt, frmEmpMnt,
// frmPersonMnt): the table in grd1, 追加 / 編集 open the edit screen, 抽出
// reloads with the 削除データを表示しない filter. Enter moves like Tab and
// never opens a record; Escape closes.
class MasterListScreen : public QDialog {
    Q_OBJECT
  public:
    MasterListScreen(const MasterDef& def, QWidget* parent = nullptr);
    ~MasterListScreen() override;

    const MasterDef& def() const { return m_def; }
    // 1 when rows marked deleted are hidden (ChkDel checked), else 0.
    int hideDeletedFlag() const;

  protected:
    bool event(QEvent* event) override;

  private:
    void refresh();
    void selectionChanged();
    void gridFocusLost();
    void cmdUpdClick();
    void cmdSelectClick();
    void openEditScreen();

    const MasterDef& m_def;
    Ui::MasterListScreen* ui;
};

// Opens the list screen of def modally over parent.
void openMasterList(const MasterDef& def, QWidget* parent);
