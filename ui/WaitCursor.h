#pragma once
// The hourglass while the program works on something that may take a moment (a network
// rebuild, a long listing, an engine step); put back however the work ends, so that a
// failure does not leave the window looking busy.

#include <QApplication>

namespace ui {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

}  // namespace ui
