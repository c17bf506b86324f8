#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>

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

// An idle board stops its frame timer; a key, a command or input to its controls starts it
// again, and it runs for as long as something is under way or a key is held.
TEST(TickSleep, IdleBoardSleepsAndWakesForKeysAndCommands) {
    BoardWindow b;
    TForm1& form = b.form;
    ASSERT_FALSE(form.sleeping());
    form.Timer1Timer();
    EXPECT_TRUE(form.sleeping()) << "nothing under way: the timer goes on";

    form.FormKeyDown(VK_SHIFT);  // a freehand stroke: ticks until Shift comes up
    EXPECT_FALSE(form.sleeping());
    form.Timer1Timer();
    form.Timer1Timer();
    EXPECT_FALSE(form.sleeping());
    form.FormKeyUp(VK_SHIFT);
    form.Timer1Timer();
    EXPECT_TRUE(form.sleeping());

    // The line tool from the toolbar: its preview follows the cursor from the next tick on.
    form.button(QStringLiteral("SpeedButton2"))->click();
    EXPECT_FALSE(form.sleeping());
    form.FormKeyDown(VK_SHIFT);
    form.FormKeyUp(VK_SHIFT);
    for (int i = 0; i < 3; ++i)
        form.Timer1Timer();
    EXPECT_FALSE(form.sleeping()) << "a line's preview stopped following the cursor";
    form.FormKeyDown(VK_CONTROL);  // drops the line
    form.FormKeyUp(VK_CONTROL);
    form.Timer1Timer();
    EXPECT_TRUE(form.sleeping());

    // Activation asks for a repaint, which a tick does.
    QEvent activate(QEvent::ActivationChange);
    QCoreApplication::sendEvent(&form, &activate);
    form.model().state.RepaintPending = true;
    EXPECT_FALSE(form.sleeping());
    form.Timer1Timer();
    EXPECT_FALSE(form.model().state.RepaintPending);
    EXPECT_TRUE(form.sleeping());
}
