#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <set>

#include "platform/raster.h"
#include "test_helpers.h"

namespace {

constexpr TColor kBlack = 0x000000;
constexpr TColor kRed = 0x0000ff;
constexpr TColor kWhite = 0xffffff;

std::set<TColor> coloursIn(const Canvas& c) {
    std::set<TColor> out;
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            out.insert(c.pixel(x, y));
    return out;
}

// The pixels on the outline of r (left/top inclusive, right/bottom exclusive).
bool onOutline(const QRect& r, QPoint p) {
    if (!r.contains(p)) return false;
    return p.x() == r.left() || p.x() == r.right() || p.y() == r.top() || p.y() == r.bottom();
}

}  // namespace

// ---- pixels -------------------------------------------------------------------------------------

TEST(RasterPixels, KeyReadsBackExactlyOutsideReadsKeyWritesOutsideDoNothing) {
    Canvas c(8, 6, TransparentKey);
    EXPECT_EQ(c.pixel(3, 2), 13434879u);
    EXPECT_EQ(QColor(c.image().pixel(3, 2)), QColor(255, 255, 204));  // as shown on screen
    c.setPixel(1, 1, 0x123456);
    EXPECT_EQ(c.pixel(1, 1), 0x123456u);
    EXPECT_EQ(QColor(c.image().pixel(1, 1)), QColor(0x56, 0x34, 0x12));

    c.setBrushColor(kBlack);
    c.fillRect(c.rect());
    for (QPoint p : {QPoint(-1, 0), QPoint(0, -1), QPoint(8, 0), QPoint(0, 6), QPoint(-9999, 9999)})
        EXPECT_EQ(c.pixel(p.x(), p.y()), TransparentKey) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(-1, 0), QPoint(0, -1), QPoint(8, 5), QPoint(7, 6), QPoint(1 << 20, 3)})
        c.setPixel(p.x(), p.y(), kRed);
    EXPECT_EQ(th::count(c, kBlack), 48);
}

// ---- flood fill ---------------------------------------------------------------------------------

TEST(RasterFloodFill, DiagonalGapStopsTheFill) {
    // White pixels touching only at corners form separate regions.
    Canvas c(6, 6, kBlack);
    c.setPixel(1, 1, kWhite);
    c.setPixel(2, 2, kWhite);
    c.setPixel(2, 3, kWhite);
    c.setBrushColor(kRed);
    c.floodFill({2, 3}, kWhite);
    EXPECT_EQ(c.pixel(2, 3), kRed);
    EXPECT_EQ(c.pixel(2, 2), kRed);
    EXPECT_EQ(c.pixel(1, 1), kWhite);
}

TEST(RasterFloodFill, KeyColouredRegionTakesTheBrush) {
    Canvas c(40, 30, TransparentKey);
    c.setPenColor(kBlack);
    const std::array<QPoint, 5> box{QPoint(10, 8), QPoint(30, 8), QPoint(30, 22), QPoint(10, 22),
                                    QPoint(10, 8)};
    c.polyline(box);
    c.setPixel(15, 12, TransparentKey ^ 1);  // one step off the key: not part of the region
    c.setBrushColor(kRed);
    c.floodFill({20, 15}, TransparentKey);
    EXPECT_EQ(th::count(c, kRed), 19 * 13 - 1);  // the inside of the box only
    EXPECT_EQ(c.pixel(0, 0), TransparentKey);
    EXPECT_EQ(c.pixel(39, 29), TransparentKey);
}

TEST(RasterFloodFill, NothingChangesWhenColourEqualsBrushOrStartDiffers) {
    Canvas c(30, 20, kRed);
    th::noise(c, 7);
    for (int x = 0; x < 30; ++x)
        c.setPixel(x, 10, kRed);
    const QImage before = c.image().copy();
    c.setBrushColor(kRed);
    c.floodFill({4, 10}, kRed);
    EXPECT_TRUE(th::sameImage(c.image(), before));
    c.setBrushColor(kBlack);
    c.floodFill({4, 10}, kWhite);  // the start pixel is not white
    EXPECT_TRUE(th::sameImage(c.image(), before));
    c.floodFill({-1, 10}, kRed);  // outside the canvas
    EXPECT_TRUE(th::sameImage(c.image(), before));
}

TEST(RasterFloodFill, WindingCorridorIsFilledCompletely) {
    // A serpentine corridor visits every row in both directions.
    Canvas c(200, 200, kWhite);
    for (int y = 1; y < 200; y += 2) {
        for (int x = 0; x < 200; ++x)
            c.setPixel(x, y, kBlack);
        c.setPixel((y / 2) % 2 ? 0 : 199, y, kWhite);  // the gap alternates sides
    }
    c.setBrushColor(kRed);
    c.floodFill({100, 0}, kWhite);
    EXPECT_EQ(th::count(c, kWhite), 0);
}

// ---- focus rectangle ----------------------------------------------------------------------------

TEST(RasterFocusRect, TwiceRestoresAndOnlyTheOutlineChanges) {
    const std::array<QRect, 13> rects{
        QRect(10, 10, 20, 15),   QRect(11, 13, 21, 17), QRect(5, 5, 1, 1),    QRect(5, 5, 1, 7),
        QRect(5, 5, 7, 1),       QRect(5, 5, 2, 2),     QRect(-3, -4, 10, 9), QRect(35, 25, 20, 20),
        QRect(-50, -50, 10, 10), QRect(0, 0, 40, 30),   QRect(-1, -1, 42, 32)};
    for (const QRect& r : rects) {
        SCOPED_TRACE(testing::Message()
                     << r.x() << "," << r.y() << " " << r.width() << "x" << r.height());
        Canvas c(40, 30, kBlack);
        th::noise(c, 3);
        const QImage before = c.image().copy();
        c.focusRect(r);
        const auto changed = th::differences(before, c.image());
        for (QPoint p : changed)
            EXPECT_TRUE(onOutline(r, p)) << p.x() << "," << p.y();
        bool visible = false;
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                visible = visible || onOutline(r, {x, y});
        EXPECT_EQ(changed.empty(), !visible);
        c.focusRect(r);
        EXPECT_TRUE(th::sameImage(c.image(), before));
    }
}

TEST(RasterFocusRect, IsDottedAndVisibleOnTheKeyColour) {
    Canvas c(60, 40, TransparentKey);
    const QRect r(10, 10, 30, 20);
    c.focusRect(r);
    const int outline = 2 * 30 + 2 * 18;
    const int marked = 30 * 20 - th::count(c, TransparentKey, r);
    // Every marked pixel differs from the key, so the frame shows on a transparent board; it is
    // a dotted line, not a solid one.
    EXPECT_GT(marked, outline / 3);
    EXPECT_LT(marked, outline * 2 / 3 + 1);
}

// ---- lines, polylines, arcs ---------------------------------------------------------------------

TEST(RasterLines, NoAntialiasingOnlyPenAndBackground) {
    for (int width : {1, 4, 7, 32}) {
        Canvas c(120, 90, TransparentKey);
        c.setPenColor(kRed);
        c.setPenWidth(width);
        c.moveTo({5, 7});
        c.lineTo({103, 61});
        c.lineTo({20, 80});
        c.arc({10, 10}, {90, 50}, {0, 0}, {0, 0});
        const std::array<QPoint, 4> pl{QPoint(3, 3), QPoint(50, 88), QPoint(117, 2),
                                       QPoint(60, 45)};
        c.polyline(pl);
        EXPECT_EQ(coloursIn(c), (std::set<TColor>{TransparentKey, kRed})) << "width " << width;
    }
}

TEST(RasterLines, WideLinesHaveRoundEnds) {
    Canvas c(60, 40, TransparentKey);
    c.setPenColor(kBlack);
    c.setPenWidth(4);
    c.moveTo({20, 20});
    c.lineTo({40, 20});
    // Four pixels thick along the line.
    EXPECT_EQ(th::count(c, kBlack, QRect(30, 0, 1, 40)), 4);
    // The caps reach beyond both end points but leave the corners of a square cap empty.
    EXPECT_EQ(c.pixel(18, 20), kBlack);
    EXPECT_EQ(c.pixel(41, 20), kBlack);
    int top = 40, bottom = -1;
    for (int y = 0; y < 40; ++y) {
        if (c.pixel(30, y) != kBlack) continue;
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    for (QPoint corner : {QPoint(18, top), QPoint(18, bottom), QPoint(41, top), QPoint(41, bottom)})
        EXPECT_EQ(c.pixel(corner.x(), corner.y()), TransparentKey)
            << corner.x() << "," << corner.y();
}

TEST(RasterPolyline, FivePointsCloseTheRectangle) {
    Canvas c(40, 30, TransparentKey);
    c.setPenColor(kBlack);
    c.setPenWidth(1);
    const std::array<QPoint, 5> pts{QPoint(10, 5), QPoint(30, 5), QPoint(30, 20), QPoint(10, 20),
                                    QPoint(10, 5)};
    c.polyline(pts);
    const QRect outline(QPoint(10, 5), QPoint(30, 20));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(c.pixel(x, y) == kBlack, onOutline(outline, {x, y})) << x << "," << y;
}

TEST(RasterArc, EqualRadialsCloseTheEllipse) {
    for (QPoint radial : {QPoint(0, 0), QPoint(30, 21), QPoint(100, 3)}) {
        Canvas c(60, 40, TransparentKey);
        c.setPenColor(kBlack);
        c.arc({10, 10}, {50, 30}, radial, radial);
        // Closed: a fill from the centre stays inside.
        c.setBrushColor(kRed);
        c.floodFill({30, 20}, TransparentKey);
        EXPECT_EQ(c.pixel(0, 0), TransparentKey);
        EXPECT_EQ(c.pixel(30, 5), TransparentKey);
        EXPECT_GT(th::count(c, kRed), 400);  // π·19·9 ≈ 537 inside
        // It touches the box near the middle of each side.
        for (QRect near :
             {QRect(29, 9, 3, 3), QRect(29, 28, 3, 3), QRect(9, 19, 3, 3), QRect(48, 19, 3, 3)})
            EXPECT_GT(th::count(c, kBlack, near), 0);
        // The box may be given by any two opposite corners, in either order.
        for (auto [p, q] :
             {std::pair{QPoint(50, 30), QPoint(10, 10)}, {QPoint(10, 30), QPoint(50, 10)}}) {
            Canvas d(60, 40, TransparentKey);
            d.setPenColor(kBlack);
            d.arc(p, q, radial, radial);
            d.setBrushColor(kRed);
            d.floodFill({30, 20}, TransparentKey);
            EXPECT_TRUE(th::sameImage(d.image(), c.image()));
        }
    }
}

// ---- bitmaps ------------------------------------------------------------------------------------

TEST(RasterDraw, TransparentBitmapSkipsKeyPixelsOpaqueCopiesThem) {
    Canvas stamp(4, 3, kRed);
    stamp.setPixel(1, 1, TransparentKey);
    stamp.setPixel(3, 0, TransparentKey);
    for (bool transparent : {true, false}) {
        stamp.setTransparent(transparent);
        Canvas c(10, 10, kBlack);
        c.draw({2, 5}, stamp);
        EXPECT_EQ(c.pixel(2, 5), kRed);
        EXPECT_EQ(c.pixel(3, 6), transparent ? kBlack : TransparentKey);
        EXPECT_EQ(c.pixel(5, 5), transparent ? kBlack : TransparentKey);
        EXPECT_EQ(th::count(c, kRed), 10);
        EXPECT_EQ(th::count(c, kBlack), 100 - 10 - (transparent ? 0 : 2));
        // Clipped at every edge, keeping its pixels in place.
        c.draw({-1, -1}, stamp);
        EXPECT_EQ(c.pixel(0, 0), transparent ? kBlack : TransparentKey);  // stamp (1, 1)
        EXPECT_EQ(c.pixel(1, 0), kRed);
        c.draw({6, 9}, stamp);
        EXPECT_EQ(c.pixel(9, 9), transparent ? kBlack : TransparentKey);  // stamp (3, 0)
        EXPECT_EQ(c.pixel(8, 9), kRed);
        const QImage before = c.image().copy();
        c.draw({100, -100}, stamp);
        c.draw({3, 3}, Canvas(0, 0, kBlack));
        EXPECT_TRUE(th::sameImage(c.image(), before));
    }
}

TEST(RasterSize, SetSizeKeepsTopLeftAndFillsWithTheBrush) {
    Canvas c(10, 8, kBlack);
    th::noise(c, 11);
    const QImage original = c.image().copy();
    c.setBrushColor(kRed);
    c.setTransparent(true);
    c.setSize(15, 12);
    ASSERT_EQ(c.width(), 15);
    ASSERT_EQ(c.height(), 12);
    EXPECT_TRUE(th::sameImage(c.image().copy(0, 0, 10, 8), original));
    EXPECT_EQ(th::count(c, kRed, QRect(10, 0, 5, 12)) + th::count(c, kRed, QRect(0, 8, 10, 4)),
              5 * 12 + 10 * 4);
    c.setSize(4, 3);
    EXPECT_TRUE(th::sameImage(c.image(), original.copy(0, 0, 4, 3)));
    c.setSize(6, 3);
    EXPECT_EQ(th::count(c, kRed, QRect(4, 0, 2, 3)), 6);  // what was cut off does not return
    EXPECT_TRUE(c.transparent());
    EXPECT_EQ(c.brushColor(), kRed);
    c.setSize(0, 0);
    EXPECT_EQ(c.width(), 0);
}

// ---- damage -------------------------------------------------------------------------------------

// Every pixel that an operation changes must lie inside the damage it reports: restores, the
// presented area and the window's shape only ever look at the damage.
TEST(RasterDamage, CoversEveryChangedPixel) {
    Canvas stamp(13, 9, kBlack);
    th::noise(stamp, 21);
    for (int i = 0; i < 13; ++i)
        stamp.setPixel(i, 4, TransparentKey);
    Canvas source(120, 90, kBlack);
    th::noise(source, 22);

    using Op = std::function<void(Canvas&, std::mt19937&)>;
    auto pt = [](std::mt19937& r) { return QPoint(int(r() % 200) - 40, int(r() % 170) - 40); };
    const std::vector<std::pair<const char*, Op>> ops{
        {"line",
         [&](Canvas& c, std::mt19937& r) {
             c.setPenWidth(std::array{1, 4, 6, 8, 12, 16, 32}[r() % 7]);
             c.moveTo(pt(r));
             c.lineTo(r() % 4 ? pt(r) : c.penPos());
         }},
        {"polyline",
         [&](Canvas& c, std::mt19937& r) {
             c.setPenWidth(int(r() % 33) + 1);
             std::array<QPoint, 5> p{pt(r), pt(r), pt(r), pt(r), pt(r)};
             c.polyline(std::span<const QPoint>(p.data(), 1 + r() % 5));
         }},
        {"arc",
         [&](Canvas& c, std::mt19937& r) {
             c.setPenWidth(int(r() % 33) + 1);
             const QPoint q = pt(r);
             c.arc(pt(r), pt(r), q, r() % 2 ? q : pt(r));
         }},
        {"fill",
         [&](Canvas& c, std::mt19937& r) {
             const QPoint p(int(r() % 120), int(r() % 90));
             c.setBrushColor(r() & 0xffffff);
             c.floodFill(p, c.pixel(p.x(), p.y()));
         }},
        {"focus",
         [&](Canvas& c, std::mt19937& r) { c.focusRect(QRect(pt(r), pt(r)).normalized()); }},
        {"draw",
         [&](Canvas& c, std::mt19937& r) {
             stamp.setTransparent(r() % 2);
             c.draw(pt(r), stamp);
         }},
        {"fillRect",
         [&](Canvas& c, std::mt19937& r) {
             c.setBrushColor(r() & 0xffffff);
             c.fillRect(QRect(pt(r), pt(r)));
         }},
        {"copy", [&](Canvas& c, std::mt19937& r) { c.copyRect(source, QRect(pt(r), pt(r))); }},
        {"pixel", [&](Canvas& c, std::mt19937& r) { c.setPixel(int(r() % 130) - 5, 7, r()); }},
    };
    std::mt19937 rng(1234);
    for (const auto& [name, op] : ops) {
        for (int round = 0; round < 60; ++round) {
            Canvas c(120, 90, kBlack);
            // A picture with large flat areas, so that fills reach far.
            for (int i = 0; i < 6; ++i) {
                c.setPenColor(rng() & 0xffffff);
                c.setPenWidth(3);
                c.moveTo(pt(rng));
                c.lineTo(pt(rng));
            }
            c.takeDamage();
            c.setPenColor(rng() & 0xffffff);
            const QImage before = c.image().copy();
            op(c, rng);
            EXPECT_TRUE(th::changesInside(before, c.image(), c.damage())) << name << " #" << round;
        }
    }
}
