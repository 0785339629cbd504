#pragma once

#include <QDialog>

namespace Ui {
class frmWrkPriceMnt2;
}
class frmWrkPriceMnt;
struct PriceInput;
enum class PriceField;

// The unit price edit screen: adds a price line, edits one or adds a copy
// of one, after the required-field, date-order and period checks. Closes
// with Accepted once a line has been saved.
class frmWrkPriceMnt2 : public QDialog {
    Q_OBJECT
  public:
    // Opened from the list: the mode and the line come from gEditMode and
    // gPriceSerial; the list is reloaded after a save.
    explicit frmWrkPriceMnt2(frmWrkPriceMnt* list);
    // Opened to register a missing price: add mode with the three combo
    // texts (item lines or bare codes) already set.
    frmWrkPriceMnt2(QWidget* parent, const QString& pnoText, const QString& wnoText,
                    const QString& personText);
    ~frmWrkPriceMnt2() override;

    int mode() const { return m_mode; }
    qint64 savedSerial() const { return m_savedSerial; } // 0 until a save

  private:
    frmWrkPriceMnt2(QWidget* parent, frmWrkPriceMnt* list, int mode, qint64 serial);
    void loadRecord();
    void fillCombos();
    void setupFields();
    PriceInput input() const;
    void focusField(PriceField field);
    void save();

    Ui::frmWrkPriceMnt2* ui;
    frmWrkPriceMnt* m_list;
    int m_mode;
    qint64 m_serial;
    qint64 m_savedSerial = 0;
};
