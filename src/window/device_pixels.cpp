#include "window/device_pixels.h"

#include <cmath>

namespace device_pixels {

namespace {
// Halves away from zero, as the raster engine rounds a fill's edges.
int nearest(qreal v) {
    return static_cast<int>(std::lround(v));
}
}  // namespace

QRegion painted(const QRegion& logical, qreal ratio) {
    if (ratio == 1.0) return logical;
    QRegion out;
    for (const QRect& r : logical) {
        const int left = nearest(r.x() * ratio), right = nearest((r.x() + r.width()) * ratio);
        const int top = nearest(r.y() * ratio), bottom = nearest((r.y() + r.height()) * ratio);
        if (right > left && bottom > top) out += QRect(left, top, right - left, bottom - top);
    }
    return out;
}

QRegion touched(const QRegion& logical, qreal ratio) {
    if (ratio == 1.0) return logical;
    QRegion out;
    for (const QRect& r : logical)
        out += QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio)
                   .toAlignedRect();
    return out;
}

// Outward to whole logical pixels: the left edge in logical pixels is at or before the device
// edge, so its rounded device edge is too, and likewise on the right; dividing (rather than
// multiplying by 1 / ratio) keeps an edge that falls on a logical pixel exactly there.
QRegion covering(const QRegion& device, qreal ratio) {
    if (ratio == 1.0) return device;
    QRegion out;
    for (const QRect& r : device) {
        const int left = static_cast<int>(std::floor(r.x() / ratio));
        const int top = static_cast<int>(std::floor(r.y() / ratio));
        const int right = static_cast<int>(std::ceil((r.x() + r.width()) / ratio));
        const int bottom = static_cast<int>(std::ceil((r.y() + r.height()) / ratio));
        out += QRect(left, top, right - left, bottom - top);
    }
    return out;
}

}  // namespace device_pixels
