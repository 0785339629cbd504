#include "core/screens/fieldhooks.h"

#include "core/bytetext.h"
#include "core/screens/fields.h"

#include <QEvent>
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

} // namespace

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
