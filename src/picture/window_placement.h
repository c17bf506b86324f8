#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Where the board's window goes, from the outer rectangle "config.ini" keeps and the screens
// there are now. The file may come from another desktop (a monitor unplugged since, a smaller
// resolution) or be edited by hand, so its rectangle is brought onto the screens before use:
//  - a size below `minimum` (what shows the whole toolbar) is raised to it;
//  - a size beyond the desktop (the bounding box of all screens) is cut to it, but never below
//    `minimum`;
//  - a rectangle of which no screen shows a grip (a piece of its top edge the pointer can take) is
//    moved onto the screen nearest to it, as far as needed to lie wholly on it where it fits.
// A rectangle already on a screen keeps its place. All in the toolkit's logical pixels.
namespace placement {

// The part of the window's top edge that a screen must show for the window to count as on it.
inline constexpr QSize kGrip{48, 16};

// `topLeft` and `size` as stored: any values (a QRect could not hold every such pair).
QRect onScreens(QPoint topLeft, QSize size, const QList<QRect>& screens, QSize minimum);

}  // namespace placement
