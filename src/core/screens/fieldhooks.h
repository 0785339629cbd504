#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

// Each time `field` (or a part of it) gains the focus: runs `entered` (may
// be empty), then selects the whole text of `box`. The selection is made
// again once the event that gave the focus is done, so that a mouse click
// into the field does not leave only a cursor.
void onFieldEntered(QWidget* field, QLineEdit* box, std::function<void()> entered = {});

// Runs `then` once, after `window` has first been painted on the screen:
// for work that may keep the event loop waiting, so the window is not left
// blank meanwhile.
void afterFirstPaint(QWidget* window, std::function<void()> then);

// A box typed with the input method off: the platform's input method is
// told so through the Qt::ImEnabled query (Qt's own line edit answers true
// whatever its attributes say) and goes to direct input while the box has
// the focus; a commit that still comes and is refused leaves the box as it
// was. `field` is the widget that takes the focus (a combo box, not its
// line edit), `box` the line edit that holds the text. Install it after
// the box's own filters, so that it sees each event first.
void turnInputMethodOff(QWidget* field, QLineEdit* box);

// For the boxes' validators: drops every half of a surrogate pair that
// comes without its other half, moving `pos` (a cursor in input) along.
// Returns whether anything was dropped.
bool dropLoneSurrogates(QString& input, int& pos);
