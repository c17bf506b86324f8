#pragma once

#include <QImage>

// The settings dialog's decorative strip down its left edge: a dusk sky over a drawing board,
// a pen and a few strokes, drawn here rather than loaded.
QImage settingsSidePicture(int width, int height);
