#pragma once

#include "core/editmode.h"
#include "core/screens/screen.h"

#include <QDate>
#include <memory>

namespace Ui {
class frmWrkPriceMnt2;
}
class frmWrkPriceMnt;
struct PriceInput;
enum class PriceField;

// The unit price edit screen: adds a price line, edits one or adds a copy
// of one, after the required-field, date-order and period checks. Closes
// with Accepted once a line has been saved.
class frmWrkPriceMnt2 : public Screen {
    Q_OBJECT
  public:
    // Opened from the list to add a line, or to edit or copy line `serial`;
    // the list is reloaded after a save.
    frmWrkPriceMnt2(frmWrkPriceMnt* list, EditMode mode, qint64 serial);
    // Opened to register a missing price: add mode with the three combo
    // texts (item lines or bare codes) already set, and 適用開始日 the slip's
    // request date when it has one.
    frmWrkPriceMnt2(QWidget* parent, const QString& pnoText, const QString& wnoText,
                    const QString& personText, const QDate& firstDay = {});
    ~frmWrkPriceMnt2() override;

    EditMode mode() const { return m_mode; }
    qint64 savedSerial() const { return m_savedSerial; } // 0 until a save

  private:
    frmWrkPriceMnt2(QWidget* parent, frmWrkPriceMnt* list, EditMode mode, qint64 serial);
    void loadRecord();
    void fillCombos();
    void setupFields();
    PriceInput input() const;
    void focusField(PriceField field);
    void save();

    const std::unique_ptr<Ui::frmWrkPriceMnt2> ui;
    frmWrkPriceMnt* m_list;
    EditMode m_mode;
    qint64 m_serial;
    qint64 m_savedSerial = 0;
};
