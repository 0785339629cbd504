#pragma once

#include "core/screens/screen.h"
#include "homework/ledger.h"

#include <memory>
#include <optional>

namespace Ui {
class frmLedger;
}

// 家内労働者帳簿: a period and a range of home-workers, then the ledger in
// the preview, whose print button prints it.
class frmLedger : public Screen {
    Q_OBJECT
  public:
    explicit frmLedger(QWidget* parent = nullptr);
    ~frmLedger() override;

  private:
    std::optional<LedgerSelection> selection();
    void cmdPreviewClick();

    const std::unique_ptr<Ui::frmLedger> ui;
};

// Opens the ledger screen modally over parent.
void openLedger(QWidget* parent);
