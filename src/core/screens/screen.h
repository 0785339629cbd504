#pragma once

#include <QDialog>

// The base of every working screen (a modal dialog with a .ui form).
//
// A screen connects its controls' signals to its own members, and its Ui
// struct goes with the derived part of the object. The dialog itself hides
// only later, in QDialog's destructor, and hiding moves the focus: a grid
// losing the focus then would call into a screen that is already gone. So
// before the dialog hides, every signal of its controls is blocked here,
// once, for every screen.
class Screen : public QDialog {
    Q_OBJECT
  public:
    explicit Screen(QWidget* parent = nullptr);
    ~Screen() override;

    // Shows the screen modally, unless it could not load its data while it
    // was built: the clerk has read why, and an empty screen would pass for
    // an empty table. Then returns Rejected at once.
    int exec() override;

  protected:
    // Called while the screen is built, after its loading failed.
    void openingFailed() { m_openingFailed = true; }
    // Every screen opens wholly on the screen it is on.
    void showEvent(QShowEvent* event) override;

  private:
    bool m_openingFailed = false;
};
