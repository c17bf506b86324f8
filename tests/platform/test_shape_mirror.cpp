#include <gtest/gtest.h>
#include <QPainter>

#include "platform/colour.h"
#include "platform/shape_mirror.h"

namespace {

constexpr QRgb kKey = TransparentKeyRgb;
// Wide enough for rows of several 64-pixel words.
const QSize kSize(150, 48);
constexpr int kStride = 20;

QImage blank() {
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(kKey);
    return image;
}

void line(QImage& image, QPoint a, QPoint b, QRgb colour = 0xff000000u, int width = 3) {
    QPainter painter(&image);
    painter.setPen(QPen(QColor::fromRgb(colour), width));
    painter.drawLine(a, b);
}

QRegion regionOf(const std::vector<QRect>& rects) {
    QRegion out;
    for (const QRect& r : rects)
        out += r;
    return out;
}

// The pixels that should be in the shape, worked out pixel by pixel.
QRegion expected(const QImage& picture, const QRegion& alwaysShown = {}) {
    QRegion out = alwaysShown.intersected(QRect(QPoint(0, 0), kSize));
    for (int y = 0; y < kSize.height(); ++y)
        for (int x = 0; x < kSize.width(); ++x)
            if (x < picture.width() && y < picture.height() && picture.pixel(x, y) != kKey)
                out += QRect(x, y, 1, 1);
    return out;
}

QRegion mirrored(const ShapeMirror& m) {
    QRegion out;
    for (int y = 0; y < m.size().height(); ++y)
        for (int x = 0; x < m.size().width(); ++x)
            if (m.shown(x, y)) out += QRect(x, y, 1, 1);
    return out;
}

ShapeMirror built(const QImage& picture, const QRegion& alwaysShown = {}) {
    ShapeMirror m;
    m.reset(kSize);
    m.rebuild(picture, kKey, alwaysShown, kStride, true);
    return m;
}

}  // namespace

TEST(VisibleRects, MergesEqualRunsDownTheRows) {
    QImage picture = blank();
    for (int y = 5; y < 15; ++y)
        picture.setPixel(10, y, 0xff0000ffu);  // a bar one pixel wide
    for (int y = 20; y < 23; ++y)
        picture.setPixel(30 + (y - 20), y, 0xff00ff00u);  // a staircase
    const std::vector<QRect> rects = visibleRects(picture, kKey, picture.rect());
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[0], QRect(10, 5, 1, 10));
    EXPECT_EQ(regionOf(rects), expected(picture));
    EXPECT_TRUE(visibleRects(picture, kKey, QRect(40, 0, 10, 10)).empty());
}

TEST(ShapeMirror, RebuildMatchesThePictureAndPacksTheMask) {
    QImage picture = blank();
    picture.setPixel(0, 0, 0xff000000u);
    picture.setPixel(9, 1, 0xff000000u);
    const QRegion toolbar(0, 40, 64, 8);
    ShapeMirror m;
    m.reset(kSize);
    const std::vector<uint8_t> lsb = m.rebuild(picture, kKey, toolbar, kStride, true);
    EXPECT_EQ(mirrored(m), expected(picture, toolbar));
    ASSERT_EQ(lsb.size(), size_t(kStride) * 48u);
    EXPECT_EQ(lsb[0], 0x01);            // (0, 0), least significant bit first
    EXPECT_EQ(lsb[kStride + 1], 0x02);  // (9, 1)
    EXPECT_EQ(lsb[40 * kStride + 7], 0xff);
    EXPECT_EQ(lsb[40 * kStride + 8], 0x00);
    const std::vector<uint8_t> msb = m.rebuild(picture, kKey, toolbar, kStride, false);
    EXPECT_EQ(msb[0], 0x80);
    EXPECT_EQ(msb[kStride + 1], 0x40);

    // A window larger than the picture: what lies outside it is hidden.
    ShapeMirror wide;
    wide.reset(kSize);
    wide.rebuild(picture.copy(0, 0, 8, 8), kKey, {}, kStride, true);
    EXPECT_TRUE(wide.shown(0, 0));
    EXPECT_FALSE(wide.shown(9, 1));
}

TEST(ShapeMirror, UpdateSendsExactlyThePixelsThatLeaveOrJoin) {
    QImage picture = blank();
    line(picture, {2, 2}, {140, 30});
    line(picture, {5, 40}, {145, 40}, 0xff0000ffu);  // committed, stays put
    ShapeMirror m = built(picture);
    const QRegion before = mirrored(m);

    // The preview line moves: restore the changed area and draw it again elsewhere.
    QImage next = blank();
    line(next, {5, 40}, {145, 40}, 0xff0000ffu);
    line(next, {2, 2}, {130, 44});
    line(next, {60, 20}, {70, 20}, 0xff00ff00u, 5);  // a run across a word boundary
    ShapeMirror::Change change;
    ASSERT_TRUE(m.update(next, kKey, QRegion(next.rect()), {}, 10000, change));

    const QRegion removed = regionOf(change.removed), added = regionOf(change.added);
    EXPECT_FALSE(removed.isEmpty());
    EXPECT_FALSE(added.isEmpty());
    EXPECT_EQ(removed - before, QRegion());  // only pixels that were shown leave
    EXPECT_EQ(added & before, QRegion());    // only pixels that were hidden join
    EXPECT_EQ((before - removed) + added, expected(next));
    EXPECT_EQ(mirrored(m), expected(next));
    // The committed line under both previews is neither cut out nor added back.
    EXPECT_FALSE((removed + added).contains(QPoint(30, 40)));
}

TEST(ShapeMirror, RedrawingOrRecolouringChangesNothing) {
    QImage picture = blank();
    line(picture, {2, 2}, {140, 30});
    ShapeMirror m = built(picture);
    line(picture, {2, 2}, {140, 30}, 0xffff0000u);  // same pixels, another colour
    ShapeMirror::Change change;
    ASSERT_TRUE(m.update(picture, kKey, QRegion(picture.rect()), {}, 10000, change));
    EXPECT_EQ(change.size(), 0u);
}

TEST(ShapeMirror, LooksOnlyInsideTheChangedArea) {
    QImage picture = blank();
    ShapeMirror m = built(picture);
    line(picture, {2, 2}, {140, 2});
    // The second part ends on the last pixel of a 64-pixel word.
    const QRegion area = QRegion(0, 0, 20, 10) + QRegion(50, 0, 14, 10);
    ShapeMirror::Change change;
    ASSERT_TRUE(m.update(picture, kKey, area, {}, 10000, change));
    EXPECT_EQ(regionOf(change.added), expected(picture) & area);
    EXPECT_FALSE(m.shown(40, 2));  // outside the area: not looked at yet
    EXPECT_TRUE(m.shown(63, 2));
    EXPECT_FALSE(m.shown(64, 2));
}

TEST(ShapeMirror, AlwaysShownAreaStaysAndFollowsItsMoves) {
    QImage picture = blank();
    const QRegion toolbar(0, 0, 150, 6);
    ShapeMirror m = built(picture, toolbar);
    ShapeMirror::Change change;
    ASSERT_TRUE(m.update(picture, kKey, QRegion(picture.rect()), toolbar, 10000, change));
    EXPECT_EQ(change.size(), 0u);

    // The toolbar folds to a small tab: the rest of its band leaves the shape.
    const QRegion tab(0, 0, 10, 6);
    ASSERT_TRUE(m.update(picture, kKey, toolbar.xored(tab), tab, 10000, change));
    EXPECT_EQ(regionOf(change.removed), toolbar - tab);
    EXPECT_TRUE(change.added.empty());
}

TEST(ShapeMirror, GivesUpBeyondTheLimit) {
    QImage picture = blank();
    ShapeMirror m = built(picture);
    for (int y = 0; y < kSize.height(); y += 2)
        for (int x = y % 4; x < kSize.width(); x += 4)
            picture.setPixel(x, y, 0xff000000u);
    ShapeMirror::Change change;
    EXPECT_FALSE(m.update(picture, kKey, QRegion(picture.rect()), {}, 100, change));
    // After a rebuild the mirror agrees with the picture again.
    m.rebuild(picture, kKey, {}, kStride, true);
    EXPECT_EQ(mirrored(m), expected(picture));
}

TEST(ShapeMirror, CountsRunsAcrossWordBoundaries) {
    QImage picture = blank();
    for (int x = 60; x < 70; ++x)
        picture.setPixel(x, 3, 0xff000000u);  // one run over the first word boundary
    picture.setPixel(127, 5, 0xff000000u);    // two runs that meet nowhere: one ends a word,
    picture.setPixel(129, 5, 0xff000000u);    // the other starts two pixels on
    for (int x = 0; x < kSize.width(); x += 2)
        picture.setPixel(x, 9, 0xff000000u);  // 75 single pixels
    const QRegion toolbar(0, 40, 150, 8);     // eight full rows
    ShapeMirror m = built(picture, toolbar);
    EXPECT_EQ(m.runCount(), 1u + 2u + 75u + 8u);

    // The same as counting by hand, pixel by pixel, after a change.
    line(picture, {2, 2}, {140, 30});
    ShapeMirror::Change change;
    ASSERT_TRUE(m.update(picture, kKey, QRegion(picture.rect()), toolbar, 10000, change));
    size_t runs = 0;
    for (int y = 0; y < kSize.height(); ++y)
        for (int x = 0; x < kSize.width(); ++x)
            runs += m.shown(x, y) && !m.shown(x - 1, y);
    EXPECT_EQ(m.runCount(), runs);
}
