#include "support/guitest.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextCharFormat>
#include <QWidget>

namespace GuiTest {

bool showActive(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

QWidget* focused() {
    return QApplication::focusWidget();
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(focused(), key, modifiers);
}

void type(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(focused(), c.toLatin1());
            continue;
        }
        QKeyEvent down(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focused(), &down);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focused(), &up);
    }
}

void compose(const QString& text) {
    const QList<QInputMethodEvent::Attribute> shown = {
        {QInputMethodEvent::TextFormat, 0, static_cast<int>(text.size()), QTextCharFormat()}};
    QInputMethodEvent preedit(text, shown);
    QApplication::sendEvent(focused(), &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(focused(), &commit);
}

bool inputMethodWanted() {
    // As the platform's input context asks: by an event to the focus object.
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QObject* target = QGuiApplication::focusObject();
    return target != nullptr && QApplication::sendEvent(target, &query) &&
           query.value(Qt::ImEnabled).toBool();
}

void paste(const QString& text) {
    QApplication::clipboard()->setText(text);
    press(Qt::Key_V, Qt::ControlModifier);
}

QStringList unnamedFields(QWidget* form) {
    QList<QWidget*> fields;
    for (QLineEdit* edit : form->findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(edit->parentWidget()) == nullptr)
            fields << edit;
    }
    for (QComboBox* combo : form->findChildren<QComboBox*>())
        fields << combo;
    for (QCheckBox* check : form->findChildren<QCheckBox*>()) {
        if (check->text().trimmed().isEmpty())
            fields << check;
    }
    const QList<QLabel*> labels = form->findChildren<QLabel*>();
    QStringList unnamed;
    for (QWidget* field : fields) {
        const bool headed = std::any_of(labels.begin(), labels.end(), [field](QLabel* label) {
            return label->buddy() == field && !label->text().trimmed().isEmpty();
        });
        if (!headed && field->accessibleName().trimmed().isEmpty())
            unnamed << field->objectName();
    }
    return unnamed;
}

} // namespace GuiTest
