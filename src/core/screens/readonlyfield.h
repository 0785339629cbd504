#pragma once

class QWidget;

// A field the clerk reads but cannot change (a computed figure, a paid
// slip's locked fields): drawn in normal text on a slightly darker ground,
// never disabled grey; Tab and Enter pass it by, and neither keys nor the
// mouse change it. readOnly false gives it back as an ordinary field.
// Line edits, combo boxes and check boxes.
void setReadOnlyField(QWidget* field, bool readOnly = true);
bool isReadOnlyField(const QWidget* field);
