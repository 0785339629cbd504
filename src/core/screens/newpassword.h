#pragma once

#include <QString>
#include <optional>

class QWidget;

// Asks for a new password twice (six bytes at most, shown as "*") until
// both boxes agree and are not empty; nothing when the clerk cancels.
std::optional<QString> askNewPassword(QWidget* parent, const QString& prompt);
