#pragma once

// Small helpers shared by the unit tests: pixel inspection, independent reference pictures and
// comparisons that report where two pictures differ.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRegion>
#include <random>
#include <vector>

#include "picture/image_stores.h"
#include "platform/raster.h"

namespace th {

// Colours as 0x00BBGGRR.
constexpr TColor rgb(int r, int g, int b) {
    return static_cast<TColor>(r + g * 256 + b * 65536);
}
inline constexpr TColor kRed = 0x0000ff;
inline constexpr TColor kBlue = 0xff0000;
inline constexpr TColor kGreen = 0x00ff00;

// Fills `r` with `colour`, leaving the brush as it was.
inline void paint(Canvas& c, const QRect& r, TColor colour) {
    const TColor brush = c.brushColor();
    c.setBrushColor(colour);
    c.fillRect(r);
    c.setBrushColor(brush);
}

// A file's bytes, or "<unreadable>".
inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Random opaque noise, so that every drawing operation changes something visible.
inline void noise(Canvas& c, unsigned seed) {
    std::mt19937 rng(seed);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            c.setPixel(x, y, rng() & 0xffffffu);
    c.takeDamage();
}

inline int count(const Canvas& c, TColor colour, const QRect& area) {
    int n = 0;
    const QRect a = area.intersected(c.rect());
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            n += c.pixel(x, y) == colour;
    return n;
}
inline int count(const Canvas& c, TColor colour) {
    return count(c, colour, c.rect());
}

// Every pixel where two equally sized images differ.
inline std::vector<QPoint> differences(const QImage& a, const QImage& b) {
    std::vector<QPoint> out;
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size()) return out;
    for (int y = 0; y < a.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if ((la[x] & 0xffffffu) != (lb[x] & 0xffffffu)) out.emplace_back(x, y);
    }
    return out;
}

// Compares two images pixel for pixel and names the first difference.
inline ::testing::AssertionResult sameImage(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "sizes differ: " << a.width() << "x" << a.height()
                                             << " vs " << b.width() << "x" << b.height();
    const std::vector<QPoint> d = differences(a, b);
    if (d.empty()) return ::testing::AssertionSuccess();
    const QPoint p = d.front();
    return ::testing::AssertionFailure()
           << d.size() << " pixels differ, first at (" << p.x() << ", " << p.y()
           << "): " << std::hex << fromQRgb(a.pixel(p)) << " vs " << fromQRgb(b.pixel(p));
}

// Checks that every changed pixel lies inside `damage`.
inline ::testing::AssertionResult changesInside(const QImage& before, const QImage& after,
                                                const QRegion& damage) {
    for (const QPoint& p : differences(before, after)) {
        if (!damage.contains(p))
            return ::testing::AssertionFailure()
                   << "pixel (" << p.x() << ", " << p.y() << ") changed outside the damage";
    }
    return ::testing::AssertionSuccess();
}

// What a frame restore must leave on a surface of `client` size: the key colour everywhere, then
// the committed picture copied into the board rectangle (1, 1) – (w, h), as far as it is stored.
inline QImage keyedCopyOfBuffer(QSize client, const QImage& buffer) {
    QImage out(client, QImage::Format_RGB32);
    out.fill(TransparentKeyRgb);
    for (int y = 1; y < client.height() && y < buffer.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(buffer.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 1; x < client.width() && x < buffer.width(); ++x)
            to[x] = from[x];
    }
    return out;
}

}  // namespace th
