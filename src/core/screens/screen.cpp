#include "core/screens/screen.h"

Screen::Screen(QWidget* parent) : QDialog(parent) {}

Screen::~Screen() {
    for (QObject* child : findChildren<QObject*>())
        child->blockSignals(true);
    hide();
}

int Screen::exec() {
    if (m_openingFailed)
        return QDialog::Rejected;
    return QDialog::exec();
}
