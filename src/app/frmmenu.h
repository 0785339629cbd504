#pragma once

#include "core/screens/screen.h"

#include <QDate>
#include <functional>
#include <memory>

class QPushButton;

namespace Ui {
class FrmMenu;
}

// The main menu, shown modally over the login screen. Which buttons are
// usable depends on [Access] UID of TVL.INI, not on the employee.
class FrmMenu : public Screen {
    Q_OBJECT
  public:
    explicit FrmMenu(QWidget* parent = nullptr);
    ~FrmMenu() override;

    // What ending the program does; by default it leaves every event loop
    // so that main returns. Tests replace it to observe the end.
    static void setEndProgram(std::function<void()> endProgram);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void load();
    void openScreen(QPushButton* button);
    void cmdExitClick();
    void showPaymentWarning();
    void openOverdueSlips();

    const std::unique_ptr<Ui::FrmMenu> ui;
    bool m_ending = false;
    QDate m_overdueUpTo; // the warning's slips: unsettled, delivered by then
};
