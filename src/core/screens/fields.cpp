#include "core/screens/fields.h"

#include "core/bytetext.h"
#include "core/halfwidth.h"
#include "core/screens/fieldhooks.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>

namespace {

const QChar kFullWidthSpace(0x3000);

// Refuses, with a beep, any edit that would take the text past the byte
// limit, whether typed, pasted or committed by the input method. A code box
// also refuses the full-width space, which separates code and name in the
// code lists. Half of a surrogate pair is dropped however it arrives.
class TextBoxValidator : public QValidator {
  public:
    TextBoxValidator(QLineEdit* box, int limit, bool code)
        : QValidator(box), m_box(box), m_limit(limit), m_code(code) {}

    State validate(QString& input, int& pos) const override {
        if (dropLoneSurrogates(input, pos))
            beep();
        // What the clerk types into a code goes in half-width, however it
        // arrives; a text the program puts there is kept as stored.
        if (m_code && m_box->hasFocus())
            input = toHalfWidth(input);
        if (LenByte(input) <= m_limit && !(m_code && input.contains(kFullWidthSpace)))
            return Acceptable;
        // Text set by the program is not a key the user has to hear about.
        if (m_box->hasFocus())
            beep();
        return Invalid;
    }

  private:
    QLineEdit* m_box;
    int m_limit;
    bool m_code;
};

// The edit field of a code combo box: a full-width space may come only with
// a whole item of the list (picked or looked up), never typed or pasted into
// a code. Half of a surrogate pair is dropped.
class CodeComboValidator : public QValidator {
  public:
    CodeComboValidator(QComboBox* combo, QLineEdit* edit)
        : QValidator(edit), m_combo(combo), m_edit(edit), m_previous(edit->text()) {
        // The text before each change, to tell what the change adds.
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { m_previous = text; });
    }

    State validate(QString& input, int& pos) const override {
        if (dropLoneSurrogates(input, pos))
            beep();
        if (m_edit->hasFocus() || m_combo->hasFocus())
            foldAdded(input);
        if (input.count(kFullWidthSpace) <= m_previous.count(kFullWidthSpace) ||
            m_combo->findText(input, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
            return Acceptable;
        if (m_edit->hasFocus())
            beep();
        return Invalid;
    }

  private:
    // What the edit adds is folded to half-width, unless it is a whole item
    // of the list, whose name part keeps its full-width characters.
    void foldAdded(QString& input) const {
        if (m_combo->findText(input, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
            return;
        qsizetype head = 0;
        while (head < input.size() && head < m_previous.size() && input[head] == m_previous[head])
            ++head;
        qsizetype tail = 0;
        while (tail < input.size() - head && tail < m_previous.size() - head &&
               input[input.size() - 1 - tail] == m_previous[m_previous.size() - 1 - tail])
            ++tail;
        const qsizetype added = input.size() - head - tail;
        input.replace(head, added, toHalfWidth(input.mid(head, added)));
    }

    QComboBox* m_combo;
    QLineEdit* m_edit;
    QString m_previous;
};

int g_beeps = 0;

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
    box->setValidator(new TextBoxValidator(box, byteLimit, ime == ImeMode::Off));
    if (ime == ImeMode::Off)
        turnInputMethodOff(box, box);
    else
        box->setAttribute(Qt::WA_InputMethodEnabled, true);
    onFieldEntered(box, box);
}

void setupCodeCombo(QComboBox* combo) {
    combo->setInsertPolicy(QComboBox::NoInsert);
    if (QLineEdit* edit = combo->lineEdit()) {
        // Qt's completion would put a longer code, matched without regard to
        // case, in place of the typed one; the typed code is what is looked
        // up, and the list offers the rest by an explicit choice.
        combo->setCompleter(nullptr);
        edit->setValidator(new CodeComboValidator(combo, edit));
        // The combo box holds the focus for its line edit.
        turnInputMethodOff(combo, edit);
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
    ++g_beeps;
    QApplication::beep();
}

int beepCount() {
    return g_beeps;
}
