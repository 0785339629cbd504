#pragma once

#include "core/editmode.h"
#include "core/screens/screen.h"

#include "slips/sliplist.h"

#include <memory>
#include <optional>

namespace Ui {
class frmProduct;
}

// The slip search: the slips selected by the filters, the way to the entry
// screen for a new or the highlighted slip, and the reprint of every slip
// of one request date.
class frmProduct : public Screen {
    Q_OBJECT
  public:
    explicit frmProduct(QWidget* parent = nullptr);
    // Opened on a selection of its own (SlipSearch::unsettledDeliveredUpTo
    // and the hide boxes); 抽　出 returns to the filter boxes.
    frmProduct(QWidget* parent, const SlipSearch& opening);
    ~frmProduct() override;

    // Fills grd1 with the slips the filter boxes select; a database error is
    // shown and leaves the grid as laid out.
    void LoadSlipList(bool hideDeleted, bool hideDelivered);
    // Lays grd1 out again and reloads it with the check boxes' filters.
    void refresh();
    // 製品伝票番号 of the highlighted row, "" when none.
    QString selectedKey() const { return m_selectedKey; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void setupFields();
    void resetFilters();
    SlipSearch search() const;
    void rowSelected(int row);
    void activated();
    void openEditor(EditMode mode);
    void printDay();

    const std::unique_ptr<Ui::frmProduct> ui;
    QString m_selectedKey;
    std::optional<SlipSearch> m_opening;
};
