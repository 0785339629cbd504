#pragma once

#include "core/screens/screen.h"
#include "settlement/settlementcriteria.h"

#include <QList>
#include <memory>
#include <optional>

namespace Ui {
class frmAccount;
}
class QPushButton;

// The settlement screen: trial, settlement and cancellation for a period
// of delivery dates and a range of home-workers, the settlements of a day
// or of one run, and the four printed reports of the run in txtDatetime.
class frmAccount : public Screen {
    Q_OBJECT
  public:
    explicit frmAccount(QWidget* parent = nullptr);
    ~frmAccount() override;

    // True while a trial, settlement or cancellation is running: commands,
    // Escape and the close box are refused until it ends.
    bool isRunning() const { return m_running; }

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    enum class Report { Statement, Cash, Classes, StatementAndCash };
    // What GridLayout's reset argument does for this list.
    enum class ListReset { None = 0, StartState = 1, ShowLastRun = 2, NoRun = 3 };

    void setupFields();
    bool leaveDay(int index);
    void showPaymentWarning();
    bool leaveDatetime();
    void chooseDatetime();
    void modeChosen(int index);

    SettlementCriteria criteria() const;
    int CheckConditions();
    bool confirmRun(const QString& action);
    std::optional<bool> confirmUnpriced();

    void cmdTestClick();
    void cmdAccountClick();
    void cmdACancelClick();
    void printClicked(Report report);
    void transferClicked();
    bool confirmIncomeLines();

    void layoutList(ListReset reset);
    int LoadSettlementList(int mode);
    void rowSelected(int row);
    QList<QPushButton*> printButtons() const;
    void setPrintButtons(bool enabled);
    bool refuseWhileRunning();

    const std::unique_ptr<Ui::frmAccount> ui;
    bool m_running = false;
};

// Opens the settlement screen modally over parent.
void openSettlement(QWidget* parent);
