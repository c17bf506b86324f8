// Stale cursor positions: under XWayland the X server keeps the pointer's last position while the
// pointer is over another program's window. Nothing may be anchored at, drawn to or picked from
// such a position; strokes lift off across the gap and shapes keep their last real end.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "test_helpers.h"

namespace {

constexpr TColor kRed = 0x0000ff;
constexpr TColor kBlue = 0xff0000;
const QRect kBoard(0, 0, 200, 150);

struct Stale : TestBoard {
    Stale() {
        model.setPenWidth(1);
        model.setPenColor(kRed);
    }
    void real(QPoint at) { model.tick(at, at, true); }
    void stale(QPoint at) { model.tick(at, at, false); }
    void fill(TColor c) {
        surface().setBrushColor(c);
        surface().fillRect(kBoard);
        surface().setBrushColor(TransparentKey);
    }
    int inkIn(const QRect& r) { return th::count(surface(), kRed, r); }
    int committedIn(const QRect& r) { return th::count(model.stores.buffer(), kRed, r); }
};

// The frozen position where the pointer left the board, and where it comes back.
const QPoint kLeftAt(190, 20);
const QPoint kBackAt(150, 120);
// Between the two: what a chord from one to the other would cross, away from both.
const QRect kGap(160, 40, 30, 60);

}  // namespace

TEST(StaleCursor, AStrokeStartedAwayStartsAtTheFirstRealPosition) {
    Stale t;
    t.model.selectTool(ToolFreehand);
    t.model.keyDown(VK_SHIFT, kLeftAt, false);
    t.stale(kLeftAt);
    EXPECT_EQ(t.inkIn(kBoard), 0);
    EXPECT_TRUE(t.model.anchorPending());
    t.real(kBackAt);
    t.real(kBackAt + QPoint(-30, 0));
    EXPECT_FALSE(t.model.anchorPending());
    EXPECT_EQ(t.inkIn(kGap), 0);
    EXPECT_EQ(t.inkIn(QRect(kLeftAt - QPoint(3, 3), QSize(7, 7))), 0);
    EXPECT_EQ(t.inkIn(QRect(120, 120, 31, 1)), 31);  // from where it came in, on
}

TEST(StaleCursor, AStrokeLiftsWhileThePointerIsAwayAndResumesWhereItComesBack) {
    Stale t;
    t.model.selectTool(ToolFreehand);
    t.model.keyDown(VK_SHIFT, {100, 20}, true);
    t.real(kLeftAt);
    t.stale(kLeftAt);  // away: the server still says kLeftAt
    t.stale(kLeftAt);
    t.real(kBackAt);
    t.real(kBackAt + QPoint(-30, 0));
    EXPECT_EQ(t.inkIn(QRect(100, 20, 91, 1)), 90);   // the way out (a line leaves its end out)
    EXPECT_EQ(t.inkIn(kGap), 0);                     // no chord
    EXPECT_EQ(t.inkIn(QRect(120, 120, 31, 1)), 31);  // the way on
    t.model.keyUp(VK_SHIFT);
    EXPECT_EQ(t.committedIn(kGap), 0);
}

// The pointer can leave and come back between two ticks: no tick ever reads a stale position,
// but the way between is unknown all the same.
TEST(StaleCursor, LeavingBetweenTwoTicksAlsoLiftsTheStroke) {
    Stale t;
    t.model.selectTool(ToolFreehand);
    t.model.keyDown(VK_SHIFT, {100, 20}, true);
    t.real(kLeftAt);
    t.model.pointerLeft();
    t.real(kBackAt);
    t.real(kBackAt + QPoint(-30, 0));
    EXPECT_EQ(t.inkIn(kGap), 0);
    EXPECT_EQ(t.inkIn(QRect(120, 120, 31, 1)), 31);
}

TEST(StaleCursor, TheEraserLiftsAndStartsAgainAsAStrokeDoes) {
    Stale t;
    t.fill(kBlue);  // everything inked
    t.model.stb();
    t.model.keyDown(VK_CONTROL, kLeftAt, false);  // started away
    t.stale(kLeftAt);
    t.real(kBackAt);
    t.real(kBackAt + QPoint(-30, 0));
    t.model.pointerLeft();
    t.real({20, 20});
    t.model.keyUp(VK_CONTROL);
    const Canvas& b = t.model.stores.buffer();
    EXPECT_EQ(th::count(b, kBlue, kGap), kGap.width() * kGap.height());
    EXPECT_EQ(th::count(b, kBlue, QRect(30, 30, 80, 80)), 80 * 80);  // no chord back either
    EXPECT_EQ(b.pixel(kLeftAt.x(), kLeftAt.y()), kBlue);
    EXPECT_EQ(b.pixel(130, 120), TransparentKey);  // erased where the pointer really went
}

TEST(StaleCursor, ALineStartedAwayAnchorsAtTheFirstRealPosition) {
    Stale t;
    t.model.selectTool(ToolLine);
    t.model.keyDown(VK_SHIFT, kLeftAt, false);
    t.stale(kLeftAt);
    EXPECT_EQ(t.inkIn(kBoard), 0);
    t.real({150, 100});
    t.real({100, 100});
    t.model.keyDown(VK_SHIFT, {100, 100}, true);
    EXPECT_EQ(t.committedIn(QRect(100, 100, 51, 1)), 50);  // a line leaves one end out
    EXPECT_EQ(t.committedIn(kBoard), 50);
}

TEST(StaleCursor, AShapeKeepsItsLastRealEndAndIsFixedThere) {
    Stale t;
    t.model.selectTool(ToolLine);
    t.model.keyDown(VK_SHIFT, {20, 100}, true);
    t.real({100, 100});
    t.stale(kLeftAt);
    t.stale(kLeftAt);
    EXPECT_EQ(t.inkIn(kBoard), 80);  // still the line to the last real end
    t.model.keyDown(VK_SHIFT, kLeftAt, false);
    EXPECT_EQ(t.model.state.DrawPhase, PhaseIdle);
    EXPECT_EQ(t.committedIn(QRect(20, 100, 80, 1)), 80);
    EXPECT_EQ(t.committedIn(kBoard), 80);
}

TEST(StaleCursor, ARepaintUnderWayRedrawsTheShapeAtItsLastRealEnd) {
    Stale t;
    t.model.selectTool(ToolRectCorners);
    t.model.keyDown(VK_SHIFT, {20, 20}, true);
    t.real({60, 60});
    t.model.state.RepaintPending = true;
    t.stale(kLeftAt);
    EXPECT_EQ(t.inkIn(kBoard), 4 * 40);
    EXPECT_EQ(t.surface().pixel(60, 60), kRed);
}

TEST(StaleCursor, APolylineFixedWhileAwayGoesOnFromItsShownEnd) {
    Stale t;
    t.model.selectTool(ToolPolyline);
    t.model.keyDown(VK_SHIFT, {20, 100}, true);
    t.real({100, 100});
    t.stale(kLeftAt);
    t.model.keyDown(VK_SHIFT, kLeftAt, false);
    EXPECT_EQ(t.model.state.DrawPhase, PhaseActive);
    EXPECT_EQ(t.model.state.AnchorPoint, QPoint(100, 100));
    t.real({100, 40});
    EXPECT_EQ(t.inkIn(QRect(100, 40, 1, 61)), 60);
    EXPECT_EQ(t.inkIn(kGap), 0);
}

TEST(StaleCursor, TheEyedropperPicksNothingAway) {
    Stale t;
    t.fill(kBlue);
    t.model.selectTool(ToolEyedropper);
    t.model.keyDown(VK_SHIFT, {50, 50}, false);
    EXPECT_EQ(t.model.penColor(), kRed);
    EXPECT_EQ(t.hooks.paletteChanges, 0);
}

TEST(StaleCursor, ASelectionNeverShownIsDroppedByTheSecondPress) {
    Stale t;
    t.model.selectTool(ToolSelection);
    t.model.keyDown(VK_SHIFT, kLeftAt, false);
    t.stale(kLeftAt);
    t.model.keyDown(VK_SHIFT, kLeftAt, false);
    EXPECT_EQ(t.model.state.DrawPhase, PhaseIdle);
    EXPECT_FALSE(t.model.selectionCommandsEnabled());
}

TEST(StaleCursor, SomethingFollowsThePointerOnlyWhileAStrokeOrShapeIsUnderWay) {
    Stale t;
    EXPECT_FALSE(t.model.followsPointer());
    t.model.selectTool(ToolLine);
    t.model.keyDown(VK_SHIFT, {20, 20}, true);
    EXPECT_TRUE(t.model.followsPointer());
    t.model.keyDown(VK_SHIFT, {40, 20}, true);
    EXPECT_FALSE(t.model.followsPointer());
    t.model.keyDown(VK_CONTROL, {40, 20}, true);
    EXPECT_TRUE(t.model.followsPointer());
    t.model.keyUp(VK_CONTROL);
    EXPECT_FALSE(t.model.followsPointer());
}
