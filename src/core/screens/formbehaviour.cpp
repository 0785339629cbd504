#include "core/screens/formbehaviour.h"

#include "core/apperror.h"
#include "core/screens/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

namespace {

const char* const kCausesValidation = "causesValidation";

bool causesValidation(const QWidget* control) {
    const QVariant v = control->property(kCausesValidation);
    return !v.isValid() || v.toBool();
}

bool hasNoModifier(const QKeyEvent* event) {
    return (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                                  Qt::MetaModifier)) == Qt::NoModifier;
}

bool isPlainEnter(const QKeyEvent* event) {
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           hasNoModifier(event);
}

bool isTabMove(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Backtab)
        return true;
    return event->key() == Qt::Key_Tab &&
           (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == Qt::NoModifier;
}

} // namespace

FormBehaviour::FormBehaviour(QWidget* form) : QObject(form), m_form(form) {
    // Application-wide so that the form sees every key and click of its
    // controls before the controls do, whatever they are.
    qApp->installEventFilter(this);
}

FormBehaviour* FormBehaviour::of(QWidget* form) {
    if (form == nullptr)
        return nullptr;
    return form->findChild<FormBehaviour*>(QString(), Qt::FindDirectChildrenOnly);
}

void FormBehaviour::setEscapeHandler(std::function<void()> handler) {
    m_escape = std::move(handler);
}

void FormBehaviour::setValidator(QWidget* field, std::function<bool()> validate) {
    if (validate)
        m_validators.insert(field, std::move(validate));
    else
        m_validators.remove(field);
}

void FormBehaviour::addLeaveStep(QWidget* field, std::function<bool()> then) {
    std::function<bool()> first = m_validators.value(field);
    setValidator(field, [first = std::move(first), then = std::move(then)] {
        return (!first || first()) && then();
    });
}

void FormBehaviour::setCausesValidation(QWidget* control, bool causes) {
    control->setProperty(kCausesValidation, causes);
}

bool FormBehaviour::validateFocusedField() {
    QWidget* focused = focusedFieldOfForm();
    return focused == nullptr || runValidator(focused);
}

QWidget* FormBehaviour::registeredField(QWidget* widget) const {
    // An editable combo box's line edit, or any inner part, answers for the
    // control it belongs to.
    for (QWidget* w = widget; w != nullptr && w != m_form; w = w->parentWidget()) {
        if (m_validators.contains(w))
            return w;
        if (w->isWindow())
            break;
    }
    return nullptr;
}

QWidget* FormBehaviour::focusedFieldOfForm() const {
    QWidget* focused = QApplication::focusWidget();
    if (focused == nullptr || m_form.isNull() || focused->window() != m_form)
        return nullptr;
    return focused;
}

bool FormBehaviour::runValidator(QWidget* widget) {
    QWidget* field = registeredField(widget);
    if (field == nullptr || m_validating)
        return true;
    // A copy: the validator may replace its own registration.
    const std::function<bool()> validate = m_validators.value(field);
    m_validating = true;
    bool ok = false;
    try {
        ok = validate();
    } catch (const AppError& e) {
        MessageBox::error(m_form, e.text());
        ok = false;
    }
    m_validating = false;
    if (!ok && !m_form.isNull() && QApplication::focusWidget() != widget) {
        // A message box took the focus; give it back to the field.
        m_form->activateWindow();
        widget->setFocus(Qt::OtherFocusReason);
    }
    return ok;
}

bool FormBehaviour::handleKeyPress(QWidget* target, QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && hasNoModifier(event)) {
        const std::function<void()> escape = m_escape;
        if (escape)
            escape();
        return true;
    }
    if (isPlainEnter(event)) {
        // Enter is a Tab that the control never sees, on buttons too: the
        // clerk walks the form with Enter and presses a button with Space.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(target, &tab);
        return true;
    }
    if (isTabMove(event))
        return !runValidator(target);
    return false;
}

bool FormBehaviour::handleMousePress(QWidget* target, Qt::FocusPolicy takesFocus) {
    QWidget* control = nullptr;
    for (QWidget* w = target; w != nullptr && w != m_form && !w->isWindow();
         w = w->parentWidget()) {
        if ((takesFocus == Qt::ClickFocus && qobject_cast<QAbstractButton*>(w) != nullptr) ||
            (w->focusPolicy() & takesFocus) == takesFocus) {
            control = w;
            break;
        }
    }
    QWidget* focused = focusedFieldOfForm();
    if (control == nullptr || focused == nullptr || !control->isEnabled() ||
        !causesValidation(control))
        return false;
    if (control == focused || control->isAncestorOf(focused) || focused->isAncestorOf(control))
        return false;
    return !runValidator(focused);
}

bool FormBehaviour::handleWindowMouse(QEvent* event) {
    // The window sees a press before any widget does, and before the widget
    // under the mouse takes the focus: the only place to refuse the move.
    switch (event->type()) {
    case QEvent::Wheel: {
        // A wheel turned over a control that takes the focus by wheel.
        const QPoint pos = static_cast<QWheelEvent*>(event)->position().toPoint();
        QWidget* target = m_form->childAt(pos);
        return target != nullptr && handleMousePress(target, Qt::WheelFocus);
    }
    case QEvent::MouseButtonDblClick:
        // Always follows a press, which has already decided.
        return m_swallowRelease;
    case QEvent::MouseButtonPress: {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        QWidget* target = m_form->childAt(pos);
        // The release of a refused press may never come here (a message box
        // was up), so each press decides afresh.
        m_swallowRelease =
            handleMousePress(target != nullptr ? target : m_form.data(), Qt::ClickFocus);
        return m_swallowRelease;
    }
    case QEvent::MouseButtonRelease:
        if (m_swallowRelease) {
            m_swallowRelease = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool FormBehaviour::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
        type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease && type != QEvent::Wheel)
        return false;
    if (m_form.isNull() || m_validating)
        return false;
    if (watched->isWindowType()) {
        if (watched != static_cast<QObject*>(m_form->windowHandle()))
            return false;
        return handleWindowMouse(event);
    }
    if (!watched->isWidgetType() || (type != QEvent::KeyPress && type != QEvent::KeyRelease))
        return false;
    auto* target = static_cast<QWidget*>(watched);
    if (target->window() != m_form)
        return false;
    if (type == QEvent::KeyRelease)
        return isPlainEnter(static_cast<QKeyEvent*>(event));
    // A key the focused control ignored travels on to its parents.
    if (target != QApplication::focusWidget())
        return false;
    return handleKeyPress(target, static_cast<QKeyEvent*>(event));
}
