#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class QKeyEvent;

// The keyboard and validation conventions of every screen, installed once
// per form:
// - Enter without modifiers moves the focus like Tab (the Enter never
//   reaches the control); Enter with Shift, Ctrl or Alt is left alone.
// - Escape runs the form's escape handler (none: ignored).
// - A field's validator runs when the user leaves the field by Tab,
//   Shift+Tab, Enter or a mouse click on another control of the form; when
//   it returns false the move is cancelled and the focus stays. Controls
//   marked with setCausesValidation(false) (cancel buttons) and closing the
//   window never validate.
// A click is refused at the form's window, before the clicked control takes
// the focus; GUI tests that click while a field may refuse must send clicks
// through the window (#define QTEST_QPA_MOUSE_HANDLING before <QTest>).
class FormBehaviour : public QObject {
    Q_OBJECT
  public:
    explicit FormBehaviour(QWidget* form);   // owned by the form
    static FormBehaviour* of(QWidget* form); // the one installed on form, or null

    void setEscapeHandler(std::function<void()> handler);
    // The validator may show messages; it returns true when the field may be left.
    void setValidator(QWidget* field, std::function<bool()> validate);
    // What a screen does on leaving a field beyond the box's own rule: runs
    // `then` once the validator set so far has passed; false keeps the focus.
    void addLeaveStep(QWidget* field, std::function<bool()> then);
    static void setCausesValidation(QWidget* control, bool causes);

    // Runs the validator of the field that has the focus (true when none).
    bool validateFocusedField();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* registeredField(QWidget* widget) const;
    QWidget* focusedFieldOfForm() const;
    bool runValidator(QWidget* field);
    bool handleKeyPress(QWidget* target, QKeyEvent* event);
    bool handleMousePress(QWidget* target, Qt::FocusPolicy takesFocus);
    bool handleWindowMouse(QEvent* event);

    QPointer<QWidget> m_form;
    bool m_validating = false;
    bool m_swallowRelease = false;
    std::function<void()> m_escape;
    QHash<QWidget*, std::function<bool()>> m_validators;
};
