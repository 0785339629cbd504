#pragma once

#include "core/editmode.h"
#include "core/screens/screen.h"
#include "masters/masterdef.h"

#include <memory>

namespace Ui {
class MasterListScreen;
}
class ListGrid;

// The list screen of one master (frmPNoMnt, frmWorkNoMnt, frmEmpMnt,
// frmPersonMnt): the table in grd1, 追加 / 編集 open the edit screen, 抽出
// reloads with the 削除データを表示しない filter. Enter moves like Tab and
// never opens a record; Escape closes.
class MasterListScreen : public Screen {
    Q_OBJECT
  public:
    MasterListScreen(const MasterDef& def, QWidget* parent = nullptr);
    ~MasterListScreen() override;

    const MasterDef& def() const { return m_def; }
    // The code of the highlighted row, "" when none.
    const QString& selectedKey() const { return m_selectedKey; }
    // Lays the grid out again and reloads it with the current filter; the
    // edit screen calls it after a save.
    void refresh();

  protected:
    bool event(QEvent* event) override;

  private:
    void resetFilters();
    bool load(); // false after a failure, which the clerk was told
    void selectionChanged();
    void gridFocusLost();
    void cmdSelectClick();
    void openEditScreen(EditMode mode);

    const MasterDef& m_def;
    const std::unique_ptr<Ui::MasterListScreen> ui;
    QString m_selectedKey;
};

// Opens the list screen of def modally over parent.
void openMasterList(const MasterDef& def, QWidget* parent);
