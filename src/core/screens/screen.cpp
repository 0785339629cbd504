#include "core/screens/screen.h"

#include "core/screens/onscreen.h"

#include <QShowEvent>

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

void Screen::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && isWindow())
        fitOnScreen(this);
    QDialog::showEvent(event);
}
