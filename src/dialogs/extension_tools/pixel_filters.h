#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <functional>

#include "platform/colour.h"

// The pixel filters of the extension tools: pure functions over a working area of a 32-bit
// picture (the board's surface), with the exact integer rules the board has always used.
//
// Only pixels that lie both in the area and in `reachable` (the part of the client area that no
// control covers) are read or written. The area is walked column by column, left to right, and
// the progress callback gets each column's progress value once the column is done; internally
// the columns are processed in narrow strips, row by row, so that the walk follows the picture's
// memory.
namespace filters {

// Told the progress value after every column of the area.
using Progress = std::function<void(int value)>;

// min(hi, max(lo, v)).
int Clamp(int v, int lo, int hi);
// The non-negative remainder of v modulo n, for n > 0.
int WrapIndex(int v, int n);
// Nearest integer; a value exactly halfway goes to the even neighbour.
int RoundHalfEven(double v);
// Each channel c becomes Clamp(c + delta, 0, 255).
TColor AdjustBrightness(TColor colour, int delta);
// Each channel c becomes Clamp(round(c + (c - 128) * k / 100), 0, 255), halves to even.
TColor AdjustContrast(TColor colour, int k);

// Progress after the column at offset i of an area w columns wide, on a bar that runs from
// `from` to `from + span` across the area. A single column shows the full span.
int ProgressValue(int i, int w, int from, int span);

// What a run works on: the picture, the working area (right and bottom exclusive; it may reach
// beyond the picture) and the pixels that may be touched.
struct Target {
    QImage& image;  // Format_RGB32
    QRect area;
    QRegion reachable;
};

// Pixels of exactly `from` (all 24 bits) become `to`; key-coloured pixels are matched too.
void ExchangeColour(Target t, TColor from, TColor to, const Progress& progress);
// Every channel c becomes 255 - c; key-coloured pixels stay.
void Negative(Target t, const Progress& progress);
// AdjustBrightness on every pixel but key-coloured ones.
void Brightness(Target t, int delta, const Progress& progress);
// AdjustContrast on every pixel but key-coloured ones.
void Contrast(Target t, int k, const Progress& progress);
// Moves the area's content dx to the right and dy down, what leaves at one edge coming back in
// at the other. A copy pass (progress 0 … 200) takes the area into a grid; a write pass
// (200 … 1000) writes it back shifted. Cells whose pixel cannot be read hold the key colour, so
// the shift carries see-through pixels from under the controls and from beyond the client area.
// Returns false, having touched nothing, when the grid cannot be allocated.
bool Shift(Target t, int dx, int dy, const Progress& progress);

}  // namespace filters
