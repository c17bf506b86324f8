#include <gtest/gtest.h>

#include <vector>

#include "dialogs/extension_tools/pixel_filters.h"
#include "test_helpers.h"

using namespace filters;

namespace {

constexpr TColor rgb(int r, int g, int b) {
    return static_cast<TColor>(r + g * 256 + b * 65536);
}

// A noisy picture with a band of key-coloured pixels and one pixel whose negative is the key.
struct Picture {
    Canvas canvas{40, 30, TransparentKey};
    Picture() {
        th::noise(canvas, 7);
        for (int x = 0; x < 40; ++x)
            canvas.setPixel(x, 5, TransparentKey);
        canvas.setPixel(3, 3, rgb(0, 0, 51));
        canvas.takeDamage();
    }
    QImage& image() { return canvas.imageForWrite(); }
    Target whole() { return {image(), image().rect(), QRegion(image().rect())}; }
    Target area(QRect r) { return {image(), r, QRegion(image().rect())}; }
};

struct Recorder {
    std::vector<int> values;
    Progress progress() {
        return [this](int v) { values.push_back(v); };
    }
};

// Every pixel of `after` is `rule` of the same pixel of `before`.
template <typename Rule>
::testing::AssertionResult eachPixel(const QImage& before, const QImage& after, Rule rule) {
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            const TColor was = fromQRgb(before.pixel(x, y)), now = fromQRgb(after.pixel(x, y));
            if (now != rule(was))
                return ::testing::AssertionFailure()
                       << "(" << x << ", " << y << "): " << std::hex << was << " became " << now
                       << ", expected " << rule(was);
        }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST(FilterRules, IntegerHelpers) {
    EXPECT_EQ(Clamp(-3, 0, 255), 0);
    EXPECT_EQ(Clamp(300, 0, 255), 255);
    EXPECT_EQ(Clamp(17, 0, 255), 17);
    EXPECT_EQ(WrapIndex(-1, 5), 4);
    EXPECT_EQ(WrapIndex(5, 5), 0);
    EXPECT_EQ(WrapIndex(-5000, 3), 1);
    EXPECT_EQ(WrapIndex(5003, 1), 0);
    EXPECT_EQ(RoundHalfEven(129.5), 130);
    EXPECT_EQ(RoundHalfEven(132.5), 132);
    EXPECT_EQ(RoundHalfEven(126.5), 126);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
}

TEST(FilterRules, BrightnessAndContrastPerChannel) {
    EXPECT_EQ(AdjustBrightness(rgb(10, 200, 250), 10), rgb(20, 210, 255));
    EXPECT_EQ(AdjustBrightness(rgb(10, 200, 250), -20), rgb(0, 180, 230));
    // k = 50: 129 -> 129.5 -> 130, 131 -> 132.5 -> 132, 127 -> 126.5 -> 126.
    EXPECT_EQ(AdjustContrast(rgb(129, 131, 127), 50), rgb(130, 132, 126));
    EXPECT_EQ(AdjustContrast(rgb(0, 255, 128), 100), rgb(0, 255, 128));
    EXPECT_EQ(AdjustContrast(rgb(1, 250, 60), 0), rgb(1, 250, 60));
    EXPECT_EQ(AdjustContrast(rgb(1, 250, 60), -100), rgb(128, 128, 128));
}

TEST(PixelFilters, NegativeTwiceRestoresAllButThePixelThatBecameTheKey) {
    Picture p;
    const QImage before = p.image().copy();
    Negative(p.whole(), {});
    EXPECT_EQ(p.canvas.pixel(3, 3), TransparentKey);  // the negative of (0, 0, 51)
    EXPECT_TRUE(eachPixel(before, p.image(),
                          [](TColor c) { return c == TransparentKey ? c : 0xffffffu - c; }));
    Negative(p.whole(), {});
    EXPECT_EQ(p.canvas.pixel(3, 3), TransparentKey);
    QImage expected = before.copy();
    expected.setPixel(3, 3, TransparentKeyRgb);
    EXPECT_TRUE(th::sameImage(p.image(), expected));
}

TEST(PixelFilters, BrightnessAndContrastExtremesLeaveKeyPixels) {
    struct Case {
        const char* name;
        void (*run)(Target);
        TColor everyOther;
    };
    const Case cases[] = {
        {"+255", [](Target t) { Brightness(t, 255, {}); }, rgb(255, 255, 255)},
        {"-255", [](Target t) { Brightness(t, -255, {}); }, rgb(0, 0, 0)},
        {"contrast -100", [](Target t) { Contrast(t, -100, {}); }, rgb(128, 128, 128)},
    };
    for (const Case& c : cases) {
        Picture p;
        const QImage before = p.image().copy();
        c.run(p.whole());
        EXPECT_TRUE(eachPixel(before, p.image(), [&c](TColor was) {
            return was == TransparentKey ? was : c.everyOther;
        })) << c.name;
    }
    Picture p;
    const QImage before = p.image().copy();
    Contrast(p.whole(), 0, {});
    EXPECT_TRUE(th::sameImage(p.image(), before));
    Contrast(p.whole(), 50, {});
    EXPECT_TRUE(eachPixel(before, p.image(), [](TColor was) {
        return was == TransparentKey ? was : AdjustContrast(was, 50);
    }));
}

TEST(PixelFilters, ExchangeMatchesAllBitsAndTreatsTheKeyLikeAnyColour) {
    Picture p;
    p.canvas.setPixel(7, 7, rgb(255, 0, 0));
    p.canvas.setPixel(8, 7, rgb(254, 0, 0));
    QImage before = p.image().copy();
    ExchangeColour(p.whole(), rgb(255, 0, 0), TransparentKey, {});
    EXPECT_EQ(p.canvas.pixel(7, 7), TransparentKey);
    EXPECT_EQ(p.canvas.pixel(8, 7), rgb(254, 0, 0));

    before = p.image().copy();
    ExchangeColour(p.whole(), TransparentKey, rgb(1, 2, 3), {});
    EXPECT_TRUE(eachPixel(before, p.image(),
                          [](TColor was) { return was == TransparentKey ? rgb(1, 2, 3) : was; }));

    before = p.image().copy();
    ExchangeColour(p.whole(), rgb(1, 2, 3), rgb(1, 2, 3), {});
    EXPECT_TRUE(th::sameImage(p.image(), before));
}

TEST(PixelFilters, ShiftWrapsWithinTheAreaOnly) {
    const QRect area(5, 4, 10, 8);  // W = 10, H = 8
    auto shifted = [&](int dx, int dy) {
        Picture p;
        Shift(p.area(area), dx, dy, {});
        return p.image().copy();
    };
    Picture original;
    const QImage before = original.image().copy();
    const QImage left = shifted(-1, 0);
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            QPoint from(x, y);
            if (area.contains(x, y)) from = QPoint(x == area.right() ? area.left() : x + 1, y);
            ASSERT_EQ(left.pixel(x, y), before.pixel(from)) << x << ", " << y;
        }
    EXPECT_TRUE(th::sameImage(shifted(10 + 3, 0), shifted(3, 0)));
    EXPECT_TRUE(th::sameImage(shifted(0, 0), before));
    EXPECT_TRUE(th::sameImage(shifted(5000, -5000), shifted(0, 0)));
    EXPECT_TRUE(th::sameImage(shifted(-4999, 4999), shifted(1, 7)));
}

TEST(PixelFilters, PixelsOutsideThePictureOrUnreachableAreNeitherReadNorWritten) {
    Picture p;
    const QImage before = p.image().copy();
    // The area reaches beyond the top-left corner; the top three rows are under a control.
    const QRect area(-6, -4, 20, 14);
    const QRegion reachable = QRegion(p.image().rect()).subtracted(QRect(0, 0, 40, 3));
    Negative({p.image(), area, reachable}, {});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool touched = y >= 3 && x < 14 && y < 10;
            const QRgb was = before.pixel(x, y);
            const QRgb expected = touched && was != TransparentKeyRgb ? was ^ 0x00ffffffu : was;
            ASSERT_EQ(p.image().pixel(x, y), expected) << x << ", " << y;
        }

    // A shift brings the key colour in from the cells it cannot read.
    Picture q;
    const QImage unshifted = q.image().copy();
    Shift({q.image(), QRect(-2, 3, 6, 2), QRegion(q.image().rect())}, 2, 0, {});
    EXPECT_EQ(q.canvas.pixel(0, 3), TransparentKey);  // came from x = -2
    EXPECT_EQ(q.canvas.pixel(1, 3), TransparentKey);  // from x = -1
    EXPECT_EQ(q.image().pixel(2, 3), unshifted.pixel(0, 3));
    EXPECT_EQ(q.image().pixel(3, 4), unshifted.pixel(1, 4));
}

TEST(PixelFilters, ProgressReachesTheEndAtTheLastColumn) {
    Picture p;
    Recorder whole;
    Brightness(p.whole(), 3, whole.progress());
    ASSERT_EQ(whole.values.size(), 40u);
    EXPECT_EQ(whole.values.front(), 0);
    EXPECT_EQ(whole.values[20], RoundHalfEven(20 * 1000.0 / 39));
    EXPECT_EQ(whole.values.back(), 1000);
    EXPECT_TRUE(std::is_sorted(whole.values.begin(), whole.values.end()));

    Recorder shift;
    Shift(p.area(QRect(2, 2, 7, 5)), 1, 1, shift.progress());
    ASSERT_EQ(shift.values.size(), 14u);
    EXPECT_EQ(shift.values[6], 200);  // end of the copy pass
    EXPECT_EQ(shift.values[7], 200);  // start of the write pass
    EXPECT_EQ(shift.values.back(), 1000);
}

TEST(PixelFilters, DegenerateAreas) {
    Picture p;
    const QImage before = p.image().copy();
    Recorder zeroWidth;
    Negative(p.area(QRect(5, 5, 0, 10)), zeroWidth.progress());
    Shift(p.area(QRect(5, 5, 0, 10)), 3, 3, zeroWidth.progress());
    EXPECT_TRUE(zeroWidth.values.empty());
    // No rows: the columns are walked and the bar moves, but no pixel changes.
    Recorder zeroHeight;
    Negative(p.area(QRect(5, 5, 10, 0)), zeroHeight.progress());
    EXPECT_EQ(zeroHeight.values.size(), 10u);
    EXPECT_EQ(zeroHeight.values.back(), 1000);
    EXPECT_TRUE(Shift(p.area(QRect(5, 5, 10, 0)), 3, 3, {}));
    EXPECT_TRUE(th::sameImage(p.image(), before));

    // One column: processed, and the bar shows it full.
    Recorder oneColumn;
    Negative(p.area(QRect(6, 6, 1, 4)), oneColumn.progress());
    EXPECT_EQ(oneColumn.values, std::vector<int>{1000});
    EXPECT_EQ(p.image().pixel(6, 7), before.pixel(6, 7) ^ 0x00ffffffu);
    Recorder oneShift;
    Shift(p.area(QRect(6, 6, 1, 4)), -3, 1, oneShift.progress());
    EXPECT_EQ(oneShift.values, (std::vector<int>{200, 1000}));
}

// A known picture with a known answer for each direction: positive dy moves the content down,
// negative up; positive dx right, negative left. Wrap-around alone would not tell them apart.
TEST(PixelFilters, ShiftMovesDownAndRightForPositiveAmounts) {
    // clang-format off
    struct Case { int dx, dy; std::vector<TColor> expected; };  // row by row, 2 wide, 3 tall
    const Case cases[] = {
        {0,  1, {5, 6,  1, 2,  3, 4}},
        {0, -1, {3, 4,  5, 6,  1, 2}},
        {1,  0, {2, 1,  4, 3,  6, 5}},
        {1,  1, {6, 5,  2, 1,  4, 3}},
    };
    // clang-format on
    for (const Case& c : cases) {
        QImage image(2, 3, QImage::Format_RGB32);
        for (int i = 0; i < 6; ++i)
            image.setPixel(i % 2, i / 2, toQRgb(TColor(i + 1)));
        ASSERT_TRUE(Shift({image, image.rect(), QRegion(image.rect())}, c.dx, c.dy, {}));
        std::vector<TColor> got;
        for (int i = 0; i < 6; ++i)
            got.push_back(fromQRgb(image.pixel(i % 2, i / 2)));
        EXPECT_EQ(got, c.expected) << c.dx << ", " << c.dy;
    }
}
