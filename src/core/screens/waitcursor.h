#pragma once

#include <QApplication>

// The busy pointer for as long as the object lives; restored on every way
// out, so that a message shown afterwards has the normal pointer.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
