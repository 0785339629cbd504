#pragma once

#include "core/editmode.h"
#include "core/screens/screen.h"

#include <memory>

namespace Ui {
class frmWrkPriceMnt;
}

// The unit price list: every price line with two filters, and the way to
// the edit screen to add a line, edit one or add a copy of one.
class frmWrkPriceMnt : public Screen {
    Q_OBJECT
  public:
    explicit frmWrkPriceMnt(QWidget* parent = nullptr);
    ~frmWrkPriceMnt() override;

    // Fills grd1 with the price lines as of the clock's today; a database
    // error is shown, leaves what was filled so far and gives false.
    bool LoadPriceList(bool hideDeleted, bool hideExpired);
    // Lays grd1 out again and reloads it with the check boxes' filters.
    void refresh();
    // 単価シリアル of the highlighted line, 0 when none.
    qint64 selectedSerial() const { return m_selectedSerial; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void resetFilters();
    void rowSelected(int row);
    void openEditor(EditMode mode);

    const std::unique_ptr<Ui::frmWrkPriceMnt> ui;
    qint64 m_selectedSerial = 0;
};

// Opens the unit price list modally over parent.
void openPriceList(QWidget* parent);
