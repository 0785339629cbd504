#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

// Every screen of the program opened in a state worth looking at, over the
// menu, on the database of the current TVL.INI (the demo workspace): the
// screenshots of the manual are taken from it, and the layout checks walk
// it. To show another screen or state, add a stop to screenTour().

// A screen as a stop shows it: `shown` is the window to look at; `owner`
// holds it and whatever it needs beneath (a list under its edit screen).
struct TourWindow {
    std::unique_ptr<QWidget> owner;
    QWidget* shown = nullptr;
};

struct TourStop {
    QString name; // of the screenshot file, without ".png"
    std::function<TourWindow(QWidget* menu)> open;
};

QList<TourStop> screenTour();

// Shows a stop's window and lets it settle (layouts, pending events).
void showAndSettle(QWidget* window);

// The smallest display the office's PCs have.
inline constexpr QSize kSmallestDisplay{1366, 768};

// What a clerk would stumble over in a shown window: a window that, with
// its frame, does not fit kSmallestDisplay, a widget reaching out of its
// parent, two visible widgets overlapping, a label's text wider or taller
// than the label, a list value or heading drawn cut off. One line per
// fault.
QStringList layoutFaults(const QWidget* window);
