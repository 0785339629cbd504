#include "support/guitest.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
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
