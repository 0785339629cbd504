#pragma once

#include <QDialog>

namespace Ui {
class frmWrkPriceMnt;
}

// The unit price list: every price line with two filters, and the way to
// the edit screen to add a line, edit one or add a copy of one.
class frmWrkPriceMnt : public QDialog {
    Q_OBJECT
  public:
    explicit frmWrkPriceMnt(QWidget* parent = nullptr);
    ~frmWrkPriceMnt() override;

    // Fills grd1 with the price lines as of the clock's today; a database
    // error is shown and leaves what was filled so far.
    void LoadPriceList(bool hideDeleted, bool hideExpired);
    // Lays grd1 out again and reloads it with the check boxes' filters.
    void refresh();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void rowSelected(int row);
    void openEditor(int mode);

    Ui::frmWrkPriceMnt* ui;
};
