#pragma once

class QWidget;

#include <QMargins>
#include <QSize>

// Moves a top-level window, frame and title bar included, wholly onto the
// available area of the screen it is on (without the panels of the
// desktop); one larger than that keeps its top left corner on it.
void fitOnScreen(QWidget* window);

// The largest size of a window's inside, up to `wanted`, that fits the
// available area of its screen with frame and title bar.
QSize fittingSize(const QWidget* window, QSize wanted);

// The frame and title bar of a window on a usual desktop.
inline constexpr QMargins kUsualWindowFrame{4, 30, 4, 4};

// The frame and title bar the window manager puts around a window; before
// it has framed the window (or without one), kUsualWindowFrame.
QMargins windowFrame(const QWidget* window);
