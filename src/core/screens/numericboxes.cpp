// The numeric and date boxes of fields.h: typed with a key filter, shown
// formatted only while not being edited.
#include "core/conventions.h"
#include "core/halfwidth.h"
#include "core/screens/fieldhooks.h"
#include "core/screens/fields.h"
#include "core/screens/formbehaviour.h"
#include "core/screens/messagebox.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace {

// Keys such as Backspace, Tab or Enter carry a control character as text;
// movement keys carry none.
bool isEditingKeyText(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            return false;
    }
    return true;
}

// Refuses, with a beep, keys the box's mode cannot hold and keys past its
// character limit; a paste or an input-method commit must pass the same
// rules as a whole.
class NumberKeyFilter : public QObject {
  public:
    NumberKeyFilter(QLineEdit* box, int keyMode, int maxChars)
        : QObject(box), m_box(box), m_mode(keyMode), m_max(maxChars) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::InputMethod)
            return refuseCommit(static_cast<QInputMethodEvent*>(event));
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            const QString pasted = toHalfWidth(QApplication::clipboard()->text());
            if (!refuseInsert(pasted))
                m_box->insert(pasted);
            return true;
        }
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const QString text = toHalfWidth(key->text());
        if (isEditingKeyText(text))
            return false;
        if (text != key->text()) {
            if (!refuseInsert(text))
                m_box->insert(text);
            return true;
        }
        if (text.size() == 1) {
            const QChar c = text.at(0);
            if (KeyCheck(m_mode, c) == 0 && !refusedAtLimit(c, trimBlanks(m_box->text()).size(),
                                                            m_box->hasSelectedText(), m_max))
                return false;
            beep();
            return true;
        }
        // A key that brings several characters (an emoji, a composed one).
        return refuseInsert(text);
    }

  private:
    // A commit goes in folded to half-width, or not at all: then the
    // pre-edit goes too and the box is left as it was.
    bool refuseCommit(QInputMethodEvent* event) const {
        const QString commit = event->commitString();
        if (commit.isEmpty())
            return false;
        const QString folded = toHalfWidth(commit);
        if (refuseInsert(folded)) {
            QInputMethodEvent nothing;
            QCoreApplication::sendEvent(m_box, &nothing);
            return true;
        }
        if (folded != commit)
            event->setCommitString(folded, event->replacementStart(), event->replacementLength());
        return false;
    }

    // Whether `added`, put in place of the selection or at the cursor, must
    // be refused; beeps when it is.
    bool refuseInsert(const QString& added) const {
        bool refused = added.isEmpty();
        for (QChar c : added) {
            if (c == Backspace || KeyCheck(m_mode, c) != 0)
                refused = true;
        }
        QString result = m_box->text();
        if (m_box->hasSelectedText())
            result.replace(m_box->selectionStart(), m_box->selectedText().size(), added);
        else
            result.insert(m_box->cursorPosition(), added);
        if (refused || trimBlanks(result).size() > m_max) {
            beep();
            return true;
        }
        return false;
    }

    QLineEdit* m_box;
    int m_mode;
    int m_max;
};

// Behind the key filter: text that reaches the box some other way (the
// accessibility interface, the program) keeps only the characters a
// number or a date is typed or shown with (a time stamp adds ":").
class NumberTextValidator : public QValidator {
  public:
    NumberTextValidator(QObject* parent, QStringView shownWith)
        : QValidator(parent), m_shownWith(shownWith) {}

    State validate(QString& input, int& pos) const override {
        input = toHalfWidth(input);
        QString kept;
        int keptPos = pos;
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QChar c = input.at(i);
            if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || m_shownWith.contains(c))
                kept += c;
            else if (i < pos)
                --keptPos;
        }
        if (kept.size() != input.size()) {
            beep();
            input = kept;
            pos = keptPos;
        }
        return Acceptable;
    }

  private:
    QStringView m_shownWith;
};

constexpr QStringView kNumberMarks = u" ,.-/";
constexpr QStringView kTimeStampMarks = u" ,.-/:";

// A time stamp is left whole on entry; a day loses its slashes.
QString dayEditStart(const QString& text) {
    return trimBlanks(text).size() < 11 ? DateEditStart(text) : text;
}

void setupNumberEntry(QLineEdit* box, int keyMode, int maxChars,
                      QString (*editStart)(const QString&), QStringView shownWith = kNumberMarks) {
    box->installEventFilter(new NumberKeyFilter(box, keyMode, maxChars));
    box->setValidator(new NumberTextValidator(box, shownWith));
    // Pasting by menu or dropping text would pass by the key filter.
    box->setContextMenuPolicy(Qt::NoContextMenu);
    box->setAcceptDrops(false);
    box->setInputMethodHints(box->inputMethodHints() | Qt::ImhPreferNumbers);
    turnInputMethodOff(box, box);
    onFieldEntered(box, box, [box, editStart] {
        const QString bare = editStart(box->text());
        if (bare != box->text())
            box->setText(bare);
    });
}

bool applyLeave(QLineEdit* box, const LeaveResult& result) {
    switch (result.outcome) {
    case LeaveOutcome::InvalidDate:
        MessageBox::show(box->window(), ConventionText::BadDate);
        return false;
    case LeaveOutcome::RequiredMissing:
        box->setText(result.text);
        MessageBox::show(box->window(), ConventionText::Required);
        return false;
    case LeaveOutcome::Ok:
        break;
    }
    // The character limit holds for typing; the shown text carries
    // separators on top, which a short maximum length would cut off.
    if (box->maxLength() < result.text.size())
        box->setMaxLength(result.text.size());
    box->setText(result.text);
    return true;
}

} // namespace

void setupNumericBox(FormBehaviour& form, QLineEdit* box, int keyMode, int maxChars, int decimals,
                     bool required) {
    setupNumberEntry(box, keyMode, maxChars, &NumEditStart);
    form.setValidator(box, [box, decimals, required] {
        return applyLeave(box, leaveNumericBox(box->text(), decimals, 0, required));
    });
}

void setupKeyedBox(QLineEdit* box, int keyMode, int maxChars) {
    setupNumberEntry(box, keyMode, maxChars, [](const QString& text) { return text; });
}

void setupDateBox(FormBehaviour& form, QLineEdit* box, bool required) {
    setupNumberEntry(box, 1, 8, &DateEditStart);
    form.setValidator(
        box, [box, required] { return applyLeave(box, leaveDateBox(box->text(), required)); });
}

void setupDayOrTimeStampBox(QLineEdit* box) {
    setupNumberEntry(box, 1, 8, &dayEditStart, kTimeStampMarks);
}
