// Logical to device pixels at fractional scales, checked against what the toolkit's own painter
// covers on an image of that device pixel ratio.
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

#include "window/device_pixels.h"

namespace {

// The scales a desktop offers: QT_SCALE_FACTOR, and Xft.dpi 120, 144, 168 and 110 over 96.
const qreal kRatios[] = {1.0, 1.25, 1.5, 1.75, 2.0, 110.0 / 96.0};

constexpr QSize kLogical(40, 36);

// The device pixels the painter fills for these logical rectangles.
QRegion paintedByToolkit(const QRegion& logical, qreal ratio) {
    QImage image((QSizeF(kLogical) * ratio).toSize() + QSize(2, 2),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        for (const QRect& r : logical)
            p.fillRect(r, Qt::black);
    }
    QRegion black;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == 0xff000000u) black += QRect(x, y, 1, 1);
    return black;
}

// A control's area on the window's shape is exactly where the toolkit paints the control: one
// device row or column more (the logical area rounded outward) shows the key colour beside the
// control and takes its clicks; one less cuts the control's edge out of the window.
TEST(DevicePixels, ControlsCoverExactlyThePixelsTheToolkitPaints) {
    for (const qreal ratio : kRatios) {
        for (int x = 0; x < 5; ++x)
            for (int w = 1; w < 6; ++w) {
                const QRect r(x, x + 1, w, 9 - w);
                EXPECT_EQ(device_pixels::painted(r, ratio), paintedByToolkit(r, ratio))
                    << "ratio " << ratio << " rect " << x << "," << x + 1 << " " << w << "x"
                    << 9 - w;
            }
        // The toolbar's lower edge: 33 logical rows are 41.25 device rows at 1.25.
        const QRect toolbar(0, 0, 36, 33);
        EXPECT_EQ(device_pixels::painted(toolbar, ratio), paintedByToolkit(toolbar, ratio))
            << ratio;
    }
}

// Repainting the logical region that covers a changed device area redraws every pixel of it:
// rounding the area to logical pixels and back loses a pixel at odd coordinates, and a stroke's
// end then stays unshown.
TEST(DevicePixels, RepaintOfTheCoveringRegionReachesEveryChangedPixel) {
    for (const qreal ratio : kRatios) {
        for (int x = 1; x < 12; x += 2)
            for (int w = 1; w < 4; ++w) {
                const QRegion changed =
                    QRegion(x, x + 2, w, 1) + QRegion(x + 7, 3, 1, w + 2);  // odd rows, columns
                const QRegion covering = device_pixels::covering(changed, ratio);
                const QRegion repainted = paintedByToolkit(covering, ratio);
                EXPECT_TRUE((changed - repainted).isEmpty())
                    << "ratio " << ratio << " at " << x << " width " << w;
            }
    }
}

}  // namespace
