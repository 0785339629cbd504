#pragma once

#include "core/editmode.h"
#include "core/screens/messagebox.h"
#include "core/screens/screen.h"
#include "slips/sliprecord.h"

#include <memory>
#include <optional>

namespace Ui {
class frmProduct2;
}
class frmProduct;
enum class SlipField;

// The slip entry screen: issues a new slip (add) or changes slip `slipNo`
// (edit: the delivery, a correction, the deletion mark). The unit price is
// never typed; it is the one in force on the request date. After a save it
// may print the slip, reloads `list` (when given) and closes with Accepted.
class frmProduct2 : public Screen {
    Q_OBJECT
  public:
    frmProduct2(QWidget* parent, frmProduct* list, EditMode mode, const QString& slipNo = {});
    ~frmProduct2() override;

    EditMode mode() const { return m_mode; }
    QString savedSlipNo() const { return m_savedNo; } // "" until a save

  private:
    void setupFields();
    void fillCombos();
    void loadRecord(const QString& slipNo);
    void newRecord();
    void lockPaidFields();
    SlipInput input() const;
    const SlipRecord* loaded() const { return m_loaded ? &*m_loaded : nullptr; }
    SlipStatus loadedStatus() const { return m_loaded ? m_loaded->status() : SlipStatus(); }
    bool showPrice(bool tellWhenMissing);
    void focusField(SlipField field);
    MessageBox::Answer WrkPriceRegist();
    void save();
    bool store(const SlipInput& in);

    const std::unique_ptr<Ui::frmProduct2> ui;
    frmProduct* m_list;
    EditMode m_mode;
    std::optional<SlipRecord> m_loaded; // edit mode: the slip as read
    QString m_savedNo;
};
