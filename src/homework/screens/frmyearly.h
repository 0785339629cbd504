#pragma once

#include "core/screens/screen.h"
#include "homework/yearlystatement.h"

#include <memory>
#include <optional>

namespace Ui {
class frmYearly;
}

// 年間工賃支払明細書: a year and a range of home-workers, then the
// statements in the preview, whose print button prints them.
class frmYearly : public Screen {
    Q_OBJECT
  public:
    explicit frmYearly(QWidget* parent = nullptr);
    ~frmYearly() override;

  private:
    std::optional<YearlySelection> selection();
    void cmdPreviewClick();

    const std::unique_ptr<Ui::frmYearly> ui;
};

// Opens the yearly statement screen modally over parent.
void openYearlyStatement(QWidget* parent);
