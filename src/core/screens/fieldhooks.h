#pragma once

#include <functional>

class QLineEdit;
class QWidget;

// Each time `field` (or a part of it) gains the focus: runs `entered` (may
// be empty), then selects the whole text of `box`. The selection is made
// again once the event that gave the focus is done, so that a mouse click
// into the field does not leave only a cursor.
void onFieldEntered(QWidget* field, QLineEdit* box, std::function<void()> entered = {});
