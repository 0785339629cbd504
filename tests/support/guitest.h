#pragma once

#include "core/screens/messagebox.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <Qt>
#include <functional>

// Driving screens in tests as the clerk does, at the widget that has the
// focus. Clicks that a refused validation must stop have to travel through
// the window: #define QTEST_QPA_MOUSE_HANDLING before including <QTest>.
namespace GuiTest {

// Shows the window and makes it the active one, so that focus moves.
bool showActive(QWidget* window);
QWidget* focused();
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types text a character at a time; full-width characters arrive as an
// input method delivers them (QTest::keyClicks takes ASCII only).
void type(const QString& text);
// Composes text with an input method that is on: shown as pre-edit, then
// committed, at the widget that has the focus.
void compose(const QString& text);
// Whether the widget that has the focus lets an input method in, as the
// platform's input method asks it.
bool inputMethodWanted();
// Puts text on the clipboard and presses Ctrl+V.
void paste(const QString& text);

// Input fields of form (text boxes, combo boxes, check boxes without a
// caption of their own) that a screen reader could not name: neither an
// accessible name nor a heading label whose buddy they are. objectNames.
QStringList unnamedFields(QWidget* form);

// Controls by objectName; a missing one ends the test run.
template <typename T> T* child(QWidget* form, const QString& name) {
    T* w = form->findChild<T*>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}
inline QLineEdit* box(QWidget* f, const QString& name) {
    return child<QLineEdit>(f, name);
}
inline QComboBox* combo(QWidget* f, const QString& name) {
    return child<QComboBox>(f, name);
}
inline void click(QWidget* f, const QString& name) {
    child<QPushButton>(f, name)->click();
}

// The texts of the messages shown so far; takeShown forgets them too.
inline QStringList shownTexts() {
    QStringList texts;
    for (const MessageBox::Shown& s : MessageBox::shown())
        texts << s.text;
    return texts;
}
inline QStringList takeShown() {
    const QStringList texts = shownTexts();
    MessageBox::clearShown();
    return texts;
}

// Runs `act` on the modal screen that the next action opens.
inline void onNextModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        if (QWidget* screen = QApplication::activeModalWidget())
            act(screen);
    });
}

} // namespace GuiTest
