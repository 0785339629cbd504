#pragma once

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class FrmLogin;
}

// The start-up screen: opens the database, takes an employee code and
// password, and shows the main menu modally. The program ends when it closes.
class FrmLogin : public QWidget {
    Q_OBJECT
  public:
    explicit FrmLogin(QWidget* parent = nullptr);
    ~FrmLogin() override;

    // Replaces the modal showing of the main menu (tests observe it).
    void setMenuRunner(std::function<void()> runMenu);

  private:
    void load();
    bool validateCode();
    void cmdLoginClick();
    // An employee without a password is offered to set one.
    void offerPassword();

    const std::unique_ptr<Ui::FrmLogin> ui;
    std::function<void()> m_runMenu;
};
