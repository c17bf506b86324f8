#pragma once

#include <QPoint>

// Where the window must go so that its client area stays put on the screen when the frame comes
// or goes. Both measurements are the client-area coordinates of the screen point (0, 0), taken
// before and after the change; `window` is the window's current left and top.
inline QPoint keptWindowPosition(QPoint before, QPoint after, QPoint window) {
    return {after.x() + window.x() - before.x(), after.y() + window.y() - before.y()};
}
