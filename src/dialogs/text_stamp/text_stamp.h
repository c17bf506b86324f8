#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include "platform/colour.h"
#include "platform/platform.h"

class Canvas;

// Text turned into pictures: the preview and the stamp. Text is always drawn without smoothing,
// so that every pixel is either the font's colour or left as it was: a stamp shows its glyphs
// in exactly one colour on exactly the key colour, with no fringe of blended pixels.
namespace text_stamp {

// The longest side and the most pixels a stamp may have. Nothing beyond them could ever reach
// the board: the stamp's corner follows the cursor, which stays on the screen.
inline constexpr int kMaxSide = 32767;
inline constexpr qint64 kMaxPixels = qint64(1) << 24;

// The font as the board draws it: the chosen font without smoothing.
QFont drawingFont(const QFont& font);
// The text's width and height in the font, as text is measured for the stamp.
QSize textExtent(const QFont& font, const QString& text);
// The stamp's size for a text of the given extent: the text's height added to its width, each
// side kept within kMaxSide and the width cut so that the stamp stays within kMaxPixels.
QSize stampSize(QSize extent);
// Draws the text with the top-left corner of its first character cell at `at`.
void drawText(QImage& image, QPoint at, const QString& text, const QFont& font, TColor colour);
// Fills `preview` white and draws the text at its top-left corner.
void drawPreview(QImage& preview, const QString& text, const FontChoice& font);
// Makes `stamp` the text's picture: stampSize, the key colour, the text at the top-left.
void makeStamp(Canvas& stamp, const QString& text, const FontChoice& font);

}  // namespace text_stamp
