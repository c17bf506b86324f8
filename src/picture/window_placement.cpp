#include "picture/window_placement.h"

#include <algorithm>
#include <limits>

namespace placement {

namespace {

// Squared distance between two rectangles (0 when they overlap), in 64 bits: stored positions
// may lie anywhere in the int range.
qint64 distance2(const QRect& a, const QRect& b) {
    auto gap = [](qint64 lo1, qint64 hi1, qint64 lo2, qint64 hi2) {
        return std::max<qint64>({0, lo2 - hi1, lo1 - hi2});
    };
    const qint64 dx = gap(a.left(), a.right(), b.left(), b.right());
    const qint64 dy = gap(a.top(), a.bottom(), b.top(), b.bottom());
    return dx * dx + dy * dy;
}

// Whether a screen shows enough of the window's top strip to take it with the pointer.
bool gripShown(const QRect& window, const QRect& screen) {
    const QRect strip(window.left(), window.top(), window.width(),
                      std::min(kGrip.height(), window.height()));
    const QRect seen = strip.intersected(screen);
    return seen.width() >= std::min(kGrip.width(), window.width()) &&
           seen.height() >= std::min(kGrip.height(), window.height());
}

// The start of a span of `length` moved as little as it takes to lie within [lo, lo + room);
// a span longer than the room starts at lo.
qint64 fitted(qint64 start, qint64 length, qint64 lo, qint64 room) {
    if (length >= room) return lo;
    return std::clamp(start, lo, lo + room - length);
}

}  // namespace

QRect onScreens(QPoint topLeft, QSize stored, const QList<QRect>& screens, QSize minimum) {
    QRect desktop;
    for (const QRect& s : screens)
        desktop |= s;
    const QSize size = desktop.isEmpty() ? stored.expandedTo(minimum)
                                         : stored.boundedTo(desktop.size()).expandedTo(minimum);
    // Stored positions far out in the int range must not overflow with the size added.
    const qint64 left = topLeft.x();
    const qint64 top = topLeft.y();
    auto toInt = [](qint64 v) {
        return static_cast<int>(std::clamp<qint64>(v, std::numeric_limits<int>::min() / 2,
                                                   std::numeric_limits<int>::max() / 2));
    };
    const QRect sized(QPoint(toInt(left), toInt(top)), size);
    if (desktop.isEmpty()) return sized;
    for (const QRect& s : screens) {
        if (gripShown(sized, s)) return sized;
    }
    const QRect* nearest = &screens.front();
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& s : screens) {
        const qint64 d = distance2(sized, s);
        if (d < best) {
            best = d;
            nearest = &s;
        }
    }
    return QRect(QPoint(toInt(fitted(left, size.width(), nearest->left(), nearest->width())),
                        toInt(fitted(top, size.height(), nearest->top(), nearest->height()))),
                 size);
}

}  // namespace placement
