#include <gtest/gtest.h>

#include <array>
#include <random>

#include "fake_platform.h"
#include "test_helpers.h"

namespace {

constexpr TColor kRed = 0x0000ff;
constexpr TColor kBlack = 0x000000;
const QRect kBoard(0, 0, 200, 150);

struct Tick : TestBoard {
    Tick() {
        model.setPenWidth(1);
        model.setPenColor(kRed);
    }
    void start(int tool, QPoint anchor) {
        model.selectTool(tool);
        model.keyDown(VK_SHIFT, anchor);
    }
    void tick(QPoint at) { model.tick(at, at); }
    DrawState& s() { return model.state; }
    const Canvas& buffer() { return model.stores.buffer(); }
    QImage restored() { return th::keyedCopyOfBuffer({200, 150}, buffer().image()); }
    // Commits a black closed box outline.
    void box(const QRect& r) {
        const std::array<QPoint, 5> pts{r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft(),
                                        r.topLeft()};
        const TColor pen = model.penColor();
        model.setPenColor(kBlack);
        surface().polyline(pts);
        model.setPenColor(pen);
        model.stb();
    }
};

// The pixels of colour c as a set of points.
std::vector<QPoint> pixelsOf(const Canvas& canvas, TColor c) {
    std::vector<QPoint> out;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) == c) out.emplace_back(x, y);
    return out;
}

}  // namespace

// ---- shape previews -----------------------------------------------------------------------------

TEST(TickPreview, RectangleFromCentreRunsThroughTheFourCorners) {
    Tick t;
    const QPoint a(60, 50);
    t.start(ToolRectCentre, a);
    t.tick(a + QPoint(10, 5));
    const QRect outline(QPoint(50, 45), QPoint(70, 55));
    for (const QPoint& p : pixelsOf(t.surface(), kRed))
        EXPECT_TRUE(outline.contains(p) && !outline.adjusted(1, 1, -1, -1).contains(p))
            << p.x() << "," << p.y();
    for (QPoint corner :
         {outline.topLeft(), outline.topRight(), outline.bottomRight(), outline.bottomLeft()})
        EXPECT_EQ(t.surface().pixel(corner.x(), corner.y()), kRed);
    EXPECT_EQ(pixelsOf(t.surface(), kRed).size(), 2u * 21 + 2u * 9);  // closed all round
    EXPECT_EQ(th::count(t.buffer(), kRed, kBoard), 0);                // a preview only
}

TEST(TickPreview, EllipsesAreClosedAndPlacedByTheirRule) {
    // Centre and size: the box runs from C to its mirror image through A.
    Tick t;
    t.start(ToolEllipseCentre, {100, 70});
    t.tick({140, 90});
    Canvas expected(200, 150, TransparentKey);
    expected.setPenColor(kRed);
    expected.arc({60, 50}, {140, 90}, {100, 71}, {100, 71});
    EXPECT_TRUE(th::sameImage(t.surface().image(), expected.image()));

    // Bounding box: from A to C, whichever way.
    Tick u;
    u.start(ToolEllipseBox, {150, 120});
    u.tick({20, 30});
    u.surface().setBrushColor(kBlack);
    u.surface().floodFill({85, 75}, TransparentKey);
    EXPECT_EQ(u.surface().pixel(5, 5), TransparentKey);  // the fill stayed inside
    EXPECT_GT(th::count(u.surface(), kBlack), 8000);     // π·65·45 ≈ 9189
    u.surface().setBrushColor(TransparentKey);
}

TEST(TickPreview, SelectionIsNormalisedWhenDraggedUpAndLeft) {
    Tick t;
    t.start(ToolSelection, {100, 80});
    t.tick({40, 30});
    EXPECT_EQ(t.s().SelectionRect, QRect(QPoint(40, 30), QPoint(99, 79)));  // (40, 30, 100, 80)
    Canvas expected(200, 150, TransparentKey);
    expected.focusRect(t.s().SelectionRect);
    EXPECT_TRUE(th::sameImage(t.surface().image(), expected.image()));
    EXPECT_EQ(th::count(t.buffer(), TransparentKey, kBoard), 200 * 150);
}

// ---- fill ---------------------------------------------------------------------------------------

TEST(TickFill, PreviewFollowsTheCursorFromTheCommittedPicture) {
    Tick t;
    t.box(QRect(QPoint(10, 10), QPoint(60, 50)));
    t.box(QRect(QPoint(100, 10), QPoint(150, 50)));
    t.start(ToolFill, {30, 30});
    t.tick({30, 30});
    EXPECT_EQ(t.surface().pixel(30, 30), kRed);
    EXPECT_EQ(t.surface().pixel(120, 30), TransparentKey);
    EXPECT_EQ(t.surface().brushColor(), TransparentKey);  // the brush is back to the key
    t.tick({120, 30});
    EXPECT_EQ(t.surface().pixel(30, 30), TransparentKey);
    EXPECT_EQ(t.surface().pixel(120, 30), kRed);
    EXPECT_EQ(t.s().DrawPhase, PhaseActive);
    EXPECT_EQ(th::count(t.buffer(), kRed, kBoard), 0);
    t.tick({80, 100});  // outside both boxes: everything around them
    EXPECT_EQ(t.surface().pixel(5, 140), kRed);
    EXPECT_EQ(t.surface().pixel(30, 30), TransparentKey);
}

TEST(TickFill, AtOnceFillsAndCommitsOnce) {
    Tick t;
    t.model.options.FillAtOnce = true;
    t.box(QRect(QPoint(10, 10), QPoint(60, 50)));
    t.start(ToolFill, {120, 30});  // the fill is made where the cursor is at the next tick
    t.tick({30, 30});
    EXPECT_EQ(t.s().DrawPhase, PhaseIdle);
    EXPECT_EQ(t.buffer().pixel(30, 30), kRed);
    EXPECT_EQ(t.buffer().pixel(120, 30), TransparentKey);
    const QImage done = t.surface().image().copy();
    t.tick({120, 30});
    EXPECT_TRUE(th::sameImage(t.surface().image(), done));
}

// ---- strokes ------------------------------------------------------------------------------------

TEST(TickStrokes, FreehandCommitsEverySegment) {
    Tick t;
    t.model.keyDown(VK_SHIFT, {20, 20});
    t.tick({60, 20});
    EXPECT_EQ(t.buffer().pixel(40, 20), kRed);
    EXPECT_EQ(t.s().AnchorPoint, QPoint(60, 20));
    t.tick({60, 80});
    EXPECT_EQ(t.buffer().pixel(60, 50), kRed);
    t.model.keyUp(VK_SHIFT);
    t.tick({150, 80});
    EXPECT_EQ(t.buffer().pixel(100, 80), TransparentKey);
}

TEST(TickStrokes, EraserCommitsThePathButNeverTheMarker) {
    Tick t;
    t.model.setPenWidth(8);
    t.surface().setBrushColor(kBlack);
    t.surface().fillRect(QRect(0, 40, 200, 40));
    t.surface().setBrushColor(TransparentKey);
    t.model.stb();
    const TColor pen = t.model.penColor();
    t.model.keyDown(VK_CONTROL, {20, 60});
    const std::array<unsigned, 4> markers{0x3377aa, 0x102030, 0xabcdef, 0x00fe01};
    for (int i = 0; i < 4; ++i) {
        t.hooks.nextRandom = markers[i];
        const QPoint c(40 + 40 * i, 60);
        t.tick(c);
        EXPECT_EQ(t.buffer().pixel(c.x() - 20, 60), TransparentKey);  // erased and committed
        EXPECT_EQ(t.buffer().pixel(c.x() - 20, 50), kBlack);
        EXPECT_EQ(t.surface().pixel(c.x(), c.y()), markers[i]);  // the marker at the cursor
        for (unsigned m : markers)
            EXPECT_EQ(th::count(t.buffer(), m, kBoard), 0);
        if (i > 0) {
            EXPECT_EQ(th::count(t.surface(), markers[i - 1]), 0);  // the last tick's marker
        }
        EXPECT_EQ(t.model.penColor(), pen);
    }
    t.model.keyUp(VK_CONTROL);
    for (unsigned m : markers)
        EXPECT_EQ(th::count(t.surface(), m), 0);
    EXPECT_EQ(t.surface().pixel(100, 60), TransparentKey);
    EXPECT_EQ(t.surface().pixel(100, 45), kBlack);
}

// Only the stroke's own segments are committed, drawn from (20, 20) to (40, 20).
::testing::AssertionResult onlyTheStroke(const Canvas& buffer) {
    for (int y = 0; y < buffer.height(); ++y)
        for (int x = 0; x < buffer.width(); ++x) {
            const TColor c = buffer.pixel(x, y);
            const bool onStroke = y == 20 && x >= 20 && x <= 40;
            if (c != TransparentKey && !(c == kRed && onStroke))
                return ::testing::AssertionFailure()
                       << "committed " << std::hex << c << " at " << std::dec << x << "," << y;
        }
    return ::testing::AssertionSuccess();
}

// A tool chosen while Shift holds a freehand stroke: the held key's repeats start the new tool,
// whose frame or preview must never be committed by the stroke, and releasing Shift leaves the
// selection commands on only with a fixed selection.
TEST(TickStrokes, ToolChangeDuringAHeldStrokeCommitsNoFrameOrPreview) {
    for (int tool : {int(ToolSelection), int(ToolRectCorners), int(ToolStamp)}) {
        SCOPED_TRACE(tool);
        Tick t;
        t.model.keyDown(VK_SHIFT, {20, 20});
        t.tick({40, 20});
        t.model.selectTool(tool);
        t.model.keyDown(VK_SHIFT, {100, 90});  // the platform's repeat of the held key
        for (QPoint c : {QPoint(100, 90), QPoint(120, 100), QPoint(130, 110)}) {
            t.tick(c);
            EXPECT_TRUE(onlyTheStroke(t.buffer()));
        }
        // The next repeat fixes the selection, and the key comes up before the next tick.
        if (tool == ToolSelection) t.model.keyDown(VK_SHIFT, {130, 110});
        t.model.keyUp(VK_SHIFT);
        EXPECT_EQ(t.hooks.selectionEnabled, t.s().selectionFixed());
        t.tick({70, 80});
        EXPECT_TRUE(onlyTheStroke(t.buffer()));
        EXPECT_EQ(t.hooks.selectionEnabled, t.s().selectionFixed());
    }
}

TEST(TickStrokes, FreehandDuringAnEraseStrokeNeverCommitsTheMarker) {
    Tick t;
    t.model.keyDown(VK_CONTROL, {150, 120});
    t.hooks.nextRandom = 0x3377aa;
    t.tick({150, 120});  // the eraser's marker at the cursor
    ASSERT_EQ(t.surface().pixel(150, 120), 0x3377aau);
    t.model.keyDown(VK_SHIFT, {20, 20});
    EXPECT_EQ(th::count(t.model.stores.undo(), 0x3377aa), 0);  // nor saves it for an undo
    t.tick({40, 20});
    t.model.keyUp(VK_SHIFT);
    t.model.keyUp(VK_CONTROL);
    EXPECT_EQ(th::count(t.buffer(), 0x3377aa), 0);
    EXPECT_EQ(t.buffer().pixel(30, 20), kRed);
}

// ---- stamp --------------------------------------------------------------------------------------

TEST(TickStamp, TransparencyDecidesWhetherKeyPixelsErase) {
    for (bool transparent : {true, false}) {
        Tick t;
        t.surface().setBrushColor(kBlack);
        t.surface().fillRect(QRect(40, 40, 60, 60));
        t.surface().setBrushColor(TransparentKey);
        t.model.stb();
        Canvas& stamp = t.model.stores.stamp();
        stamp.setBrushColor(kRed);
        stamp.fillRect(QRect(0, 0, 16, 32));  // left half red, right half key
        stamp.setBrushColor(TransparentKey);
        stamp.setTransparent(transparent);
        t.start(ToolStamp, {0, 0});
        t.tick({50, 50});
        EXPECT_EQ(t.surface().pixel(55, 60), kRed);
        EXPECT_EQ(t.surface().pixel(75, 60), transparent ? kBlack : TransparentKey);
        EXPECT_EQ(t.surface().pixel(85, 60), kBlack);  // beyond the stamp
        EXPECT_EQ(t.buffer().pixel(55, 60), kBlack);   // not committed by the tick
    }
}

// ---- commits, tool changes, repaint -------------------------------------------------------------

TEST(TickCommit, ShiftCommitsTheLastFrameEvenIfTheCursorMoved) {
    Tick t;
    t.start(ToolLine, {20, 20});
    t.tick({120, 20});
    const QImage last = t.surface().image().copy(t.model.stores.boardRect());
    t.model.keyDown(VK_SHIFT, {120, 130});
    EXPECT_TRUE(th::sameImage(t.buffer().image().copy(t.model.stores.boardRect()), last));
    EXPECT_EQ(t.buffer().pixel(120, 80), TransparentKey);
    t.tick({120, 130});
    EXPECT_TRUE(th::sameImage(t.surface().image(), t.restored()));
}

TEST(TickCommit, ToolChangeMidPreviewContinuesFromTheAnchor) {
    Tick t;
    t.start(ToolLine, {30, 30});
    t.tick({150, 120});
    t.model.selectTool(ToolEllipseBox);
    EXPECT_EQ(t.s().DrawPhase, PhaseActive);
    t.tick({150, 120});
    Canvas expected(200, 150, TransparentKey);
    expected.setPenColor(kRed);
    expected.arc({30, 30}, {150, 120}, {0, 0}, {0, 0});
    EXPECT_TRUE(th::sameImage(t.surface().image(), expected.image()));
}

TEST(TickCommit, ToolChangeDropsAFixedSelectionOnTheNextTick) {
    Tick t;
    t.start(ToolSelection, {20, 20});
    t.tick({90, 70});
    t.model.keyDown(VK_SHIFT, {90, 70});
    ASSERT_TRUE(t.hooks.selectionEnabled);
    t.tick({150, 140});  // a fixed selection is left alone
    EXPECT_FALSE(th::sameImage(t.surface().image(), t.restored()));
    t.model.selectTool(ToolRectCorners);
    t.tick({150, 140});
    EXPECT_EQ(t.s().DrawPhase, PhaseIdle);
    EXPECT_FALSE(t.hooks.selectionEnabled);
    EXPECT_TRUE(th::sameImage(t.surface().image(), t.restored()));  // no frame, no rectangle
}

TEST(TickRepaint, RedrawsAFixedSelectionFrameOnceAndEnablesItsCommands) {
    Tick t;
    t.start(ToolSelection, {20, 20});
    t.tick({90, 70});
    t.model.keyDown(VK_SHIFT, {90, 70});
    t.model.FormResize({200, 150});  // the window system repainted: frame gone, commands off
    ASSERT_FALSE(t.hooks.selectionEnabled);
    t.s().RepaintPending = true;
    t.tick({10, 10});
    EXPECT_FALSE(t.s().RepaintPending);
    EXPECT_TRUE(t.hooks.selectionEnabled);
    Canvas expected(200, 150, TransparentKey);
    expected.focusRect(QRect(20, 20, 70, 50));
    EXPECT_TRUE(th::sameImage(t.surface().image(), expected.image()));
    t.tick({10, 10});  // nothing pending: the frame stays as it is
    EXPECT_TRUE(th::sameImage(t.surface().image(), expected.image()));
}

// ---- drag and far cursors -----------------------------------------------------------------------

TEST(TickDrag, WindowFollowsTheCursorsTravel) {
    Tick t;
    t.hooks.windowPos = {-1, -1};
    t.model.tick({0, 0}, {530, 390});
    EXPECT_EQ(t.hooks.windowPos, QPoint(-1, -1));  // no drag: no move
    t.s().DragActive = true;
    t.s().DragCursorOrigin = {500, 400};
    t.s().DragWindowOrigin = {100, 50};
    t.model.tick({0, 0}, {530, 390});
    EXPECT_EQ(t.hooks.windowPos, QPoint(130, 40));
    t.model.tick({0, 0}, {-20, 1500});
    EXPECT_EQ(t.hooks.windowPos, QPoint(-420, 1150));
}

TEST(TickFar, CursorFarOutsideNeverCrashesAndDrawsClipped) {
    const std::array<QPoint, 4> far{QPoint(-30000, 40000), QPoint(45000, -25000),
                                    QPoint(-60000, -60000), QPoint(100, 70000)};
    for (int tool : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12}) {
        SCOPED_TRACE(tool);
        Tick t;
        t.model.setPenWidth(16);
        t.start(tool, {100, 75});
        for (const QPoint& c : far)
            t.tick(c);
        t.model.keyDown(VK_SHIFT, far[3]);
        t.model.keyUp(VK_SHIFT);
        t.model.keyDown(VK_CONTROL, far[0]);
        t.tick(far[1]);
        t.model.keyUp(VK_CONTROL);
        EXPECT_EQ(t.surface().width(), 200);
        EXPECT_EQ(t.surface().height(), 150);
    }
    // A line to a far point still shows its visible part.
    Tick l;
    l.start(ToolLine, {100, 75});
    l.tick({100, 75 + 50000});
    EXPECT_EQ(l.surface().pixel(100, 140), kRed);
}

// ---- idle ticks ---------------------------------------------------------------------------------

// The window stops its timer when tickHasWork says no: in every such state a tick must change
// nothing at all, or the board would freeze with the change half done.
TEST(TickIdle, ATickWithoutWorkChangesNothingInAnyState) {
    std::mt19937 random(16);
    int idle = 0;
    for (int round = 0; round < 400; ++round) {
        Tick t;
        t.box(QRect(20, 20, 60, 40));
        auto pick = [&](int n) { return static_cast<int>(random() % n); };
        DrawState& s = t.s();
        const std::array<int, 11> tools{ToolFreehand,   ToolLine,        ToolPolyline,
                                        ToolRectCentre, ToolRectCorners, ToolEllipseCentre,
                                        ToolEllipseBox, ToolFill,        ToolEyedropper,
                                        ToolSelection,  ToolStamp};
        s.DrawTool = static_cast<std::uint8_t>(tools[pick(11)]);
        const std::array<int, 3> phases{PhaseIdle, PhaseActive, PhaseSelected};
        s.DrawPhase = static_cast<std::uint8_t>(phases[pick(3)]);
        s.SelectionRect = QRect(30, 30, 40, 30);
        s.AnchorPoint = QPoint(pick(200), pick(150));
        s.FreehandActive = pick(4) == 0;
        s.EraserActive = pick(4) == 0;
        s.DragActive = pick(4) == 0;
        s.RepaintPending = pick(3) == 0;
        if (t.model.tickHasWork()) continue;
        ++idle;
        const QImage surface = t.surface().image().copy();
        const QImage buffer = t.buffer().image().copy();
        const DrawState before = s;
        const int switches = t.hooks.selectionSwitches;
        t.tick(QPoint(pick(200), pick(150)));
        EXPECT_TRUE(th::sameImage(t.surface().image(), surface)) << round;
        EXPECT_TRUE(th::sameImage(t.buffer().image(), buffer)) << round;
        EXPECT_EQ(s.DrawPhase, before.DrawPhase) << round;
        EXPECT_EQ(s.AnchorPoint, before.AnchorPoint) << round;
        EXPECT_EQ(s.RepaintPending, before.RepaintPending) << round;
        EXPECT_EQ(t.hooks.selectionSwitches, switches) << round;
    }
    EXPECT_GT(idle, 20);  // the idle states were reached
}
