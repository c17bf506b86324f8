#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// The screens the board may lie on, as the toolkit knows them.
namespace screens {

// Each screen's rectangle in device pixels. The toolkit keeps a screen's top-left at its device
// position and divides only its size by the screen's scale, so the size is multiplied back.
QList<QRect> deviceRects();

// Each screen's area for windows (without docks and panels) in the toolkit's logical pixels,
// the coordinates of window geometry.
QList<QRect> availableRects();

// The bounding box of all screens in device pixels: the largest client area the board can have
// without reaching off the desktop. Empty when there is no screen.
QSize deviceDesktopSize();

}  // namespace screens
