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

// For the boxes' validators: drops every half of a surrogate pair that
// comes without its other half, moving `pos` (a cursor in input) along.
// Returns whether anything was dropped.
bool dropLoneSurrogates(QString& input, int& pos);
