#include "core/screens/fieldhooks.h"

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

} // namespace

void onFieldEntered(QWidget* field, QLineEdit* box, std::function<void()> entered) {
    field->installEventFilter(new FocusInHook(field, box, std::move(entered)));
}
