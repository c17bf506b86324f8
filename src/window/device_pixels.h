#pragma once

#include <QRegion>

// Widgets are laid out in logical pixels; the picture, the window's shape and the screen are in
// device pixels. At a fractional scale (1.25, 1.5) a logical edge falls between two device
// pixels, and which side it lands on decides whether a control's last row shows, or whether an
// odd picture pixel is repainted. These conversions keep to how the toolkit itself rasterises.
namespace device_pixels {

// The device pixels the toolkit paints for widgets or fills of these logical rectangles: each
// edge goes to the nearest device pixel boundary, halves away from zero, as its raster engine
// maps fills and clips.
QRegion painted(const QRegion& logical, qreal ratio);

// Every device pixel a logical region touches, even in part.
QRegion touched(const QRegion& logical, qreal ratio);

// The smallest logical region whose painting reaches every pixel of `device`: repainting it
// redraws all of them.
QRegion covering(const QRegion& device, qreal ratio);

}  // namespace device_pixels
