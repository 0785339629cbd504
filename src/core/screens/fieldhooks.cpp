#include "core/screens/fieldhooks.h"

#include "core/bytetext.h"
#include "core/screens/fields.h"

#include <QCoreApplication>
#include <QEvent>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

class FocusInHook : public QObject {
  public:
    FocusInHook(QWidget* field, QLineEdit* box, std::function<void()> entered)
        : QObject(field), m_field(field), m_box(box), m_entered(std::move(entered)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::FocusIn)
            return false;
        if (m_entered)
            m_entered();
        SelectAll(m_box);
        QTimer::singleShot(0, this, [this] {
            if (!m_box.isNull() && m_field->hasFocus())
                SelectAll(m_box);
        });
        return false;
    }

  private:
    QWidget* m_field;
    QPointer<QLineEdit> m_box;
    std::function<void()> m_entered;
};

class FirstPaintHook : public QObject {
  public:
    FirstPaintHook(QWidget* window, std::function<void()> then)
        : QObject(window), m_then(std::move(then)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so that the painted window reaches the screen first.
            QTimer::singleShot(0, parent(), m_then);
        }
        return false;
    }

  private:
    std::function<void()> m_then;
};

// Answers Qt::ImEnabled with false, and every other query as the field
// itself does. A commit that the box refuses (it beeps) leaves the box as
// it was before the composition began: a pre-edit typed over a selection
// has already taken the selected text away.
class InputMethodOffHook : public QObject {
  public:
    InputMethodOffHook(QWidget* field, QLineEdit* box) : QObject(field), m_box(box) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::InputMethodQuery)
            return answer(static_cast<QWidget*>(watched),
                          static_cast<QInputMethodQueryEvent*>(event));
        if (event->type() != QEvent::InputMethod || m_delivering)
            return false;
        auto* input = static_cast<QInputMethodEvent*>(event);
        if (!m_composing) {
            m_before = m_box->text();
            m_selectionStart = m_box->hasSelectedText() ? m_box->selectionStart() : -1;
            m_selectionLength = static_cast<int>(m_box->selectedText().size());
            m_cursor = m_box->cursorPosition();
        }
        m_composing = !input->preeditString().isEmpty();
        if (input->commitString().isEmpty())
            return false;
        const int beeps = beepCount();
        m_delivering = true;
        QCoreApplication::sendEvent(watched, event);
        m_delivering = false;
        if (beepCount() > beeps && m_box->text() != m_before) {
            m_box->setText(m_before);
            if (m_selectionStart >= 0)
                m_box->setSelection(m_selectionStart, m_selectionLength);
            else
                m_box->setCursorPosition(m_cursor);
        }
        return true;
    }

  private:
    static bool answer(const QWidget* field, QInputMethodQueryEvent* query) {
        if (!(query->queries() & Qt::ImEnabled))
            return false;
        for (int bit = 0; bit < 32; ++bit) {
            const auto one =
                static_cast<Qt::InputMethodQuery>(query->queries().toInt() & (1u << bit));
            if (one != 0)
                query->setValue(one, one == Qt::ImEnabled ? QVariant(false)
                                                          : field->inputMethodQuery(one));
        }
        query->accept();
        return true;
    }

    QLineEdit* m_box;
    bool m_composing = false;
    bool m_delivering = false;
    QString m_before;
    int m_selectionStart = -1;
    int m_selectionLength = 0;
    int m_cursor = 0;
};

} // namespace

void turnInputMethodOff(QWidget* field, QLineEdit* box) {
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
    field->setInputMethodHints(field->inputMethodHints() | Qt::ImhPreferLatin | Qt::ImhLatinOnly);
    field->installEventFilter(new InputMethodOffHook(field, box));
}

void afterFirstPaint(QWidget* window, std::function<void()> then) {
    window->installEventFilter(new FirstPaintHook(window, std::move(then)));
}

void onFieldEntered(QWidget* field, QLineEdit* box, std::function<void()> entered) {
    field->installEventFilter(new FocusInHook(field, box, std::move(entered)));
}

bool dropLoneSurrogates(QString& input, int& pos) {
    if (!hasLoneSurrogate(input))
        return false;
    const QString cleaned = withoutLoneSurrogates(input);
    // The part before the cursor keeps its place in the cleaned text.
    pos = static_cast<int>(withoutLoneSurrogates(input.left(pos)).size());
    input = cleaned;
    return true;
}
