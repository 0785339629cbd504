#include "core/screens/readonlyfield.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QVariant>

namespace {

const char* const kReadOnly = "tarvelReadOnly";
const char* const kFocusPolicy = "tarvelFocusPolicy";
const QColor kReadOnlyGround(0xF2, 0xF2, 0xF2);

// Swallows what would change a combo box or a check box; a line edit has
// its own read-only state.
class InputBlocker : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!isReadOnlyField(static_cast<QWidget*>(watched)))
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            return false;
        }
    }
};

void blockInput(QWidget* widget) {
    if (widget->findChild<InputBlocker*>(QString(), Qt::FindDirectChildrenOnly) == nullptr)
        widget->installEventFilter(new InputBlocker(widget));
}

} // namespace

bool isReadOnlyField(const QWidget* field) {
    return field->property(kReadOnly).toBool();
}

void setReadOnlyField(QWidget* field, bool readOnly) {
    if (readOnly == isReadOnlyField(field))
        return;
    field->setProperty(kReadOnly, readOnly);
    if (readOnly) {
        field->setProperty(kFocusPolicy, int(field->focusPolicy()));
        field->setFocusPolicy(Qt::NoFocus);
    } else {
        field->setFocusPolicy(Qt::FocusPolicy(field->property(kFocusPolicy).toInt()));
    }

    auto* line = qobject_cast<QLineEdit*>(field);
    if (auto* combo = qobject_cast<QComboBox*>(field)) {
        blockInput(combo);
        line = combo->lineEdit();
        if (line)
            blockInput(line);
    } else if (qobject_cast<QAbstractButton*>(field)) {
        blockInput(field);
    }
    if (line) {
        line->setReadOnly(readOnly);
        if (line != field) {
            if (readOnly) {
                line->setProperty(kFocusPolicy, int(line->focusPolicy()));
                line->setFocusPolicy(Qt::NoFocus);
            } else {
                line->setFocusPolicy(Qt::FocusPolicy(line->property(kFocusPolicy).toInt()));
            }
            line->setProperty(kReadOnly, readOnly);
        }
    }

    if (readOnly) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, kReadOnlyGround);
        palette.setColor(QPalette::Button, kReadOnlyGround);
        field->setPalette(palette);
    } else {
        field->setPalette(QPalette());
    }
}
