#include "core/screens/fields.h"

#include "core/bytetext.h"
#include "core/screens/fieldhooks.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>

namespace {

// Refuses, with a beep, any edit that would take the text past the byte
// limit, whether typed, pasted or committed by the input method.
class ByteLimitValidator : public QValidator {
  public:
    ByteLimitValidator(QLineEdit* box, int limit) : QValidator(box), m_box(box), m_limit(limit) {}

    State validate(QString& input, int&) const override {
        if (LenByte(input) <= m_limit)
            return Acceptable;
        // Text set by the program is not a key the user has to hear about.
        if (m_box->hasFocus())
            beep();
        return Invalid;
    }

  private:
    QLineEdit* m_box;
    int m_limit;
};

void setInputMethod(QWidget* widget, ImeMode ime) {
    if (ime == ImeMode::Off) {
        widget->setAttribute(Qt::WA_InputMethodEnabled, false);
        widget->setInputMethodHints(widget->inputMethodHints() | Qt::ImhPreferLatin |
                                    Qt::ImhLatinOnly);
    } else {
        widget->setAttribute(Qt::WA_InputMethodEnabled, true);
    }
}

// A combo box's own line edit or a spin box's editor is not a text box.
bool isTextBox(const QLineEdit* edit) {
    for (QWidget* p = edit->parentWidget(); p != nullptr && !p->isWindow(); p = p->parentWidget()) {
        if (qobject_cast<QComboBox*>(p) != nullptr || qobject_cast<QAbstractSpinBox*>(p) != nullptr)
            return false;
    }
    return true;
}

} // namespace

void setupTextBox(QLineEdit* box, int byteLimit, ImeMode ime) {
    box->setValidator(new ByteLimitValidator(box, byteLimit));
    setInputMethod(box, ime);
    onFieldEntered(box, box);
}

void setupCodeCombo(QComboBox* combo) {
    setInputMethod(combo, ImeMode::Off);
    if (QLineEdit* edit = combo->lineEdit()) {
        setInputMethod(edit, ImeMode::Off);
        onFieldEntered(combo, edit);
    }
}

void setPasswordBox(QLineEdit* box) {
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
}

void ClearTextBoxes(QWidget* form) {
    const QList<QLineEdit*> edits = form->findChildren<QLineEdit*>();
    for (QLineEdit* edit : edits) {
        if (isTextBox(edit))
            edit->setText(QString());
    }
}

void SelectAll(QLineEdit* box) {
    box->setSelection(0, box->text().size());
}

void FormCenter(QWidget* form) {
    QScreen* screen = form->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    form->move(area.x() + (area.width() - form->width()) / 2,
               area.y() + (area.height() - form->height()) / 2);
}

void beep() {
    QApplication::beep();
}
