#pragma once

#include "core/screens/screen.h"

#include <memory>

namespace Ui {
class frmDenNouhin;
}

// Delivery registration: a barcode scanner working as a keyboard types a
// slip number and Enter; a known slip opens in the entry screen, where the
// delivery is entered. The box is empty again for the next scan. Closed
// with the window's close button only: Enter and Escape belong to the
// scanner's box, not to the form.
class frmDenNouhin : public Screen {
    Q_OBJECT
  public:
    explicit frmDenNouhin(QWidget* parent = nullptr);
    ~frmDenNouhin() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void scanned();
    void readyForNextScan();

    const std::unique_ptr<Ui::frmDenNouhin> ui;
};
