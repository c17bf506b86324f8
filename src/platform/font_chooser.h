#pragma once

#include <QFont>

class QWidget;

// How a font in use meets the font chooser, which counts sizes in whole points and knows only
// installed families, and back. The board's font names a face that may exist only as a Qt
// substitute; the chooser must open on the family that actually draws it, at its size, so that
// OK without a change gives the same font.
namespace font_chooser {

// The font the chooser opens on for a font in use (sized in pixels or points).
QFont shown(const QFont& inUse, double dpi);

// The font in use after OK on `selected`: sized in pixels, drawn as `inUse` is drawn. A size the
// user left as it was shown keeps the pixel size in use exactly.
QFont chosen(const QFont& selected, const QFont& inUse, double dpi);

// The largest size the chooser accepts, in points: a text no taller than the longest side a
// stamp may have.
int maxPoints(double dpi);

// Lets the size field of Qt's font dialog take sizes up to maxPoints, not only up to its own
// limit of 512.
void acceptLargeSizes(QWidget& chooser, double dpi);

}  // namespace font_chooser
