#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

class QWidget;

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
// Puts text on the clipboard and presses Ctrl+V.
void paste(const QString& text);

// Input fields of form (text boxes, combo boxes, check boxes without a
// caption of their own) that a screen reader could not name: neither an
// accessible name nor a heading label whose buddy they are. objectNames.
QStringList unnamedFields(QWidget* form);

} // namespace GuiTest
