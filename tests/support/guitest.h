#pragma once

#include <QString>
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

} // namespace GuiTest
