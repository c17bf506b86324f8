#include <gtest/gtest.h>

#include "board_fixture.h"
#include "window/tform1.h"

// Reading the cursor costs a round trip to the X server: only a tick that uses it reads it, and
// then once.
TEST(TickCursor, ReadOnlyWhenSomethingFollowsIt) {
    BoardWindow b;
    FakePlatform& platform = b.platform;
    TForm1& form = b.form;
    form.timer().stop();
    DrawState& s = form.model().state;
    auto readsPerTick = [&] {
        platform.cursorReads = 0;
        form.Timer1Timer();
        return platform.cursorReads;
    };
    EXPECT_EQ(readsPerTick(), 0);
    s.RepaintPending = true;  // a repaint alone does not look at the cursor
    EXPECT_EQ(readsPerTick(), 0);
    s.DragActive = true;
    EXPECT_EQ(readsPerTick(), 1);
    s.DragActive = false;
    form.model().keyDown(VK_SHIFT, {50, 50});  // the freehand stroke
    EXPECT_EQ(readsPerTick(), 1);
    form.model().keyUp(VK_SHIFT);
    EXPECT_EQ(readsPerTick(), 0);
    form.model().keyDown(VK_CONTROL, {50, 50});  // the eraser
    EXPECT_EQ(readsPerTick(), 1);
    form.model().keyUp(VK_CONTROL);
    form.SpeedButton2Click();  // line: the preview follows the cursor
    form.model().keyDown(VK_SHIFT, {50, 50});
    EXPECT_EQ(readsPerTick(), 1);
    form.model().keyDown(VK_SHIFT, {60, 50});
    EXPECT_EQ(readsPerTick(), 0);
}
