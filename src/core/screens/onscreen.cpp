#include "core/screens/onscreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QRect roomFor(const QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return QRect();
    return screen->availableGeometry().marginsRemoved(windowFrame(window));
}

} // namespace

QMargins windowFrame(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    if (frame != inner)
        return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                        frame.right() - inner.right(), frame.bottom() - inner.bottom());
    return kUsualWindowFrame;
}

QSize fittingSize(const QWidget* window, QSize wanted) {
    const QRect room = roomFor(window);
    return room.isValid() ? wanted.boundedTo(room.size()) : wanted;
}

void fitOnScreen(QWidget* window) {
    const QRect room = roomFor(window);
    if (!room.isValid())
        return;
    const QMargins frame = windowFrame(window);
    const int x =
        qMax(room.left(), qMin(window->x() + frame.left(), room.right() + 1 - window->width()));
    const int y =
        qMax(room.top(), qMin(window->y() + frame.top(), room.bottom() + 1 - window->height()));
    window->move(x - frame.left(), y - frame.top());
}
