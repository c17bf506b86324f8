#include <gtest/gtest.h>

#include <climits>

#include "picture/window_placement.h"

namespace {

using placement::onScreens;

const QSize kToolbar(900, 60);  // the smallest outer size that shows the whole toolbar
const QList<QRect> kOne = {QRect(0, 0, 1280, 1024)};
// A 1920 × 1080 laptop with a 2560 × 1440 monitor to its right, tops aligned.
const QList<QRect> kTwo = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 2560, 1440)};

}  // namespace

TEST(WindowPlacement, ARectangleOnAScreenKeepsItsPlaceAndSize) {
    EXPECT_EQ(onScreens({100, 50}, {1000, 700}, kOne, kToolbar), QRect(100, 50, 1000, 700));
    // Across two screens, and hanging off the bottom right with its top edge shown: kept.
    EXPECT_EQ(onScreens({1500, 200}, {1000, 700}, kTwo, kToolbar), QRect(1500, 200, 1000, 700));
    EXPECT_EQ(onScreens({1000, 900}, {1000, 700}, kOne, kToolbar), QRect(1000, 900, 1000, 700));
}

// A monitor unplugged since the file was written: the window comes back onto the nearest screen,
// as little moved as it takes.
TEST(WindowPlacement, ARectangleOffEveryScreenComesOntoTheNearest) {
    EXPECT_EQ(onScreens({3000, 100}, {1000, 700}, kOne, kToolbar), QRect(280, 100, 1000, 700));
    EXPECT_EQ(onScreens({-5000, -300}, {1000, 700}, kOne, kToolbar), QRect(0, 0, 1000, 700));
    // Right of the second screen: onto the second, not the first.
    EXPECT_EQ(onScreens({5000, 1200}, {1000, 700}, kTwo, kToolbar), QRect(3480, 740, 1000, 700));
    // Below the first screen, where the second reaches lower: onto the first, its bottom.
    EXPECT_EQ(onScreens({100, 1300}, {1000, 700}, kTwo, kToolbar), QRect(100, 380, 1000, 700));
    // Only a sliver of the top edge shown (or none, the title bar above the screen): moved.
    EXPECT_EQ(onScreens({1270, 100}, {1000, 700}, kOne, kToolbar), QRect(280, 100, 1000, 700));
    EXPECT_EQ(onScreens({100, -40}, {1000, 700}, kOne, kToolbar), QRect(100, 0, 1000, 700));
}

TEST(WindowPlacement, SizesAreRaisedToTheToolbarAndCutToTheDesktop) {
    EXPECT_EQ(onScreens({10, 10}, {0, 0}, kOne, kToolbar), QRect(10, 10, 900, 60));
    EXPECT_EQ(onScreens({10, 10}, {1, 1}, kOne, kToolbar).size(), kToolbar);
    EXPECT_EQ(onScreens({0, 0}, {100000, 100000}, kOne, kToolbar), QRect(0, 0, 1280, 1024));
    // The desktop is both screens: a window may span them, no more.
    EXPECT_EQ(onScreens({0, 0}, {8192, 8192}, kTwo, kToolbar), QRect(0, 0, 4480, 1440));
    // A desktop narrower than the toolbar still gets the whole toolbar.
    EXPECT_EQ(onScreens({0, 0}, {640, 400}, {QRect(0, 0, 800, 600)}, kToolbar).size(),
              QSize(900, 400));
}

TEST(WindowPlacement, ExtremeStoredValuesNeitherOverflowNorGetLost) {
    const QRect far = onScreens({INT_MAX - 10, INT_MIN + 10}, {640, 400}, kOne, kToolbar);
    EXPECT_EQ(far, QRect(380, 0, 900, 400));
    // No screen known (no display yet): only the size rule applies.
    EXPECT_EQ(onScreens({3000, 100}, {10, 10}, {}, kToolbar), QRect(3000, 100, 900, 60));
}
