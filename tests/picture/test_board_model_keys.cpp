#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include "fake_platform.h"
#include "test_helpers.h"
#include "window/tform1.h"

namespace {

constexpr TColor kRed = 0x0000ff;
constexpr TColor kGreen = 0x00ff00;

struct Keys : TestBoard {
    Keys() { model.setPenWidth(1); }
    void shift(QPoint at) { model.keyDown(VK_SHIFT, at); }
    void ctrl(QPoint at) { model.keyDown(VK_CONTROL, at); }
    void tick(QPoint at) { model.tick(at, at); }
    DrawState& s() { return model.state; }
    QImage board(const Canvas& c) { return c.image().copy(model.stores.boardRect()); }
    QImage surfaceBoard() { return board(surface()); }
    QImage bufferBoard() { return board(model.stores.buffer()); }
    QImage undoBoard() { return board(model.stores.undo()); }
    // A committed line and an uncommitted mark, so that commits, restores and SaveUndo can be
    // told apart.
    void picture() {
        Canvas& c = surface();
        c.setPenColor(kGreen);
        c.setPenWidth(3);
        c.moveTo({10, 140});
        c.lineTo({190, 140});
        model.stb();
        c.setPixel(150, 20, kRed);
        c.setPenColor(0);
        c.setPenWidth(1);
    }
};

bool sameState(const DrawState& a, const DrawState& b) {
    return a.DrawTool == b.DrawTool && a.DrawPhase == b.DrawPhase &&
           a.AnchorPoint == b.AnchorPoint && a.LastPoint == b.LastPoint &&
           a.SelectionRect == b.SelectionRect && a.FreehandActive == b.FreehandActive &&
           a.EraserActive == b.EraserActive && a.DragActive == b.DragActive &&
           a.RepaintPending == b.RepaintPending;
}

}  // namespace

// ---- shape tools --------------------------------------------------------------------------------

TEST(KeyShapes, FirstShiftAnchorsSavesUndoAndStarts) {
    for (int tool : {2, 3, 4, 5, 6, 7, 8}) {
        SCOPED_TRACE(tool);
        Keys k;
        k.picture();
        k.model.selectTool(tool);
        k.shift({40, 30});
        EXPECT_EQ(k.s().DrawPhase, PhaseActive);
        EXPECT_EQ(k.s().AnchorPoint, QPoint(40, 30));
        EXPECT_TRUE(th::sameImage(k.undoBoard(), k.surfaceBoard()));  // the surface, mark included
        EXPECT_EQ(k.model.stores.buffer().pixel(150, 20), TransparentKey);  // nothing committed
    }
}

TEST(KeyShapes, SecondShiftCommitsWhatTheSurfaceShowsAndEnds) {
    for (int tool : {2, 4, 5, 6, 7, 8}) {
        SCOPED_TRACE(tool);
        Keys k;
        k.picture();
        k.model.selectTool(tool);
        k.shift({40, 30});
        k.tick({90, 70});
        const QImage shown = k.surfaceBoard();
        k.shift({40, 30});  // even back at the anchor
        EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
        EXPECT_TRUE(th::sameImage(k.bufferBoard(), shown));
    }
}

TEST(KeyShapes, PolylineContinuesFromTheLastPreviewedPoint) {
    Keys k;
    k.model.selectTool(ToolPolyline);
    k.model.setPenColor(kRed);
    k.shift({20, 20});
    k.tick({80, 20});
    k.shift({80, 90});  // the cursor moved on after the last frame
    EXPECT_EQ(k.s().DrawPhase, PhaseActive);
    EXPECT_EQ(k.s().AnchorPoint, QPoint(80, 20));
    EXPECT_EQ(k.model.stores.buffer().pixel(50, 20), kRed);
    EXPECT_EQ(k.model.stores.buffer().pixel(80, 50), TransparentKey);

    k.tick({80, 100});
    k.shift({80, 100});  // moved since the last press: continues from (80, 100)
    EXPECT_EQ(k.s().DrawPhase, PhaseActive);
    EXPECT_EQ(k.s().AnchorPoint, QPoint(80, 100));
    k.tick({80, 100});
    k.shift({80, 100});  // no movement: ends
    EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
    EXPECT_EQ(k.model.stores.buffer().pixel(80, 60), kRed);
    k.tick({150, 130});
    EXPECT_TRUE(th::sameImage(k.surfaceBoard(), k.bufferBoard()));  // nothing more is drawn
}

TEST(KeyShapes, PolylineEndsAtOnceWhenTheCursorNeverMoved) {
    Keys k;
    k.model.selectTool(ToolPolyline);
    k.shift({60, 60});
    k.tick({60, 60});
    k.shift({60, 60});
    EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
    EXPECT_EQ(k.s().AnchorPoint, QPoint(60, 60));
}

TEST(KeyShapes, ShiftWhileASelectionIsFixedDoesNothing) {
    Keys k;
    k.model.selectTool(ToolSelection);
    k.shift({20, 20});
    k.tick({70, 60});
    k.shift({70, 60});
    ASSERT_EQ(k.s().DrawPhase, PhaseSelected);
    k.model.selectTool(ToolRectCorners);  // before the next tick drops the selection
    const DrawState before = k.s();
    const QImage buffer = k.bufferBoard();
    k.shift({100, 100});
    EXPECT_TRUE(sameState(k.s(), before));
    EXPECT_TRUE(th::sameImage(k.bufferBoard(), buffer));
}

// ---- freehand, eyedropper -----------------------------------------------------------------------

TEST(KeyFreehand, ShiftStartsOnceAndReleaseEnds) {
    Keys k;
    k.picture();
    k.shift({30, 40});
    EXPECT_TRUE(k.s().FreehandActive);
    EXPECT_EQ(k.s().AnchorPoint, QPoint(30, 40));
    EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
    EXPECT_TRUE(th::sameImage(k.undoBoard(), k.surfaceBoard()));
    const QImage undo = k.undoBoard();

    k.tick({60, 40});
    k.shift({90, 90});  // the platform's repeat of the held key
    EXPECT_EQ(k.s().AnchorPoint, QPoint(60, 40));
    EXPECT_TRUE(th::sameImage(k.undoBoard(), undo));

    k.model.keyUp(VK_SHIFT);
    EXPECT_FALSE(k.s().FreehandActive);
    const QImage after = k.surfaceBoard();
    k.tick({120, 120});
    EXPECT_TRUE(th::sameImage(k.surfaceBoard(), after));
}

TEST(KeyFreehand, ReleaseAlsoEndsAShapeLeftUnderWay) {
    Keys k;
    k.model.selectTool(ToolLine);
    k.shift({10, 10});
    k.model.selectTool(ToolFreehand);
    k.shift({20, 20});  // starts a stroke and leaves the phase alone
    EXPECT_EQ(k.s().DrawPhase, PhaseActive);
    k.model.keyUp(VK_SHIFT);
    EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
}

TEST(KeyEyedropper, PicksTheSurfacePixelUnderTheCursor) {
    Keys k;
    k.picture();
    k.model.selectTool(ToolEyedropper);
    const QImage undo = k.undoBoard();
    const Palette& p = k.model.palette;
    const int changes = k.hooks.paletteChanges;

    k.shift({150, 20});  // the uncommitted red mark: the surface is read, not the buffer
    EXPECT_EQ(k.model.penColor(), kRed);
    const Swatch& other = p.swatch(Palette::kFreeColour);
    EXPECT_EQ(other.colour, kRed);
    EXPECT_TRUE(other.outerLowered);
    EXPECT_TRUE(other.innerLowered);
    EXPECT_EQ(p.dialogColour(), kRed);
    EXPECT_FALSE(p.swatch(p.indexOf("Panel2")).outerLowered);
    EXPECT_GT(k.hooks.paletteChanges, changes);

    k.shift({60, 60});  // key colour: the eraser
    EXPECT_EQ(k.model.penColor(), TransparentKey);
    const Swatch& eraser = p.swatch(Palette::kEraser);
    EXPECT_TRUE(eraser.outerLowered);
    EXPECT_TRUE(eraser.innerLowered);
    EXPECT_FALSE(other.outerLowered);
    EXPECT_TRUE(other.innerLowered);  // the earlier pick's inner bevel stays
    EXPECT_EQ(other.colour, kRed);
    EXPECT_EQ(p.dialogColour(), kRed);

    k.shift({100, 140});
    EXPECT_EQ(k.model.penColor(), kGreen);
    EXPECT_EQ(k.s().DrawTool, ToolEyedropper);
    EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
    EXPECT_TRUE(th::sameImage(k.undoBoard(), undo));
    k.shift({-400, 9000});  // outside the board: no pixel to read, but no harm either
}

// ---- range selection and stamp ------------------------------------------------------------------

TEST(KeySelection, ZeroOneElevenOne) {
    Keys k;
    k.picture();
    k.model.selectTool(ToolSelection);
    k.shift({20, 30});
    EXPECT_EQ(k.s().DrawPhase, PhaseActive);
    EXPECT_EQ(k.s().AnchorPoint, QPoint(20, 30));
    EXPECT_EQ(k.model.stores.buffer().pixel(150, 20), kRed);  // committed first

    k.tick({90, 80});
    const QImage framed = k.surfaceBoard();
    k.shift({95, 85});
    EXPECT_EQ(k.s().DrawPhase, PhaseSelected);
    EXPECT_TRUE(k.hooks.selectionEnabled);
    EXPECT_EQ(k.s().SelectionRect, QRect(20, 30, 70, 50));  // the last frame's rectangle
    EXPECT_TRUE(th::sameImage(k.surfaceBoard(), framed));

    k.ctrl({95, 85});  // does nothing to a fixed selection
    EXPECT_EQ(k.s().DrawPhase, PhaseSelected);
    EXPECT_FALSE(k.s().EraserActive);
    EXPECT_TRUE(th::sameImage(k.surfaceBoard(), framed));

    const QImage buffer = k.bufferBoard();
    k.shift({120, 100});
    EXPECT_EQ(k.s().DrawPhase, PhaseActive);
    EXPECT_EQ(k.s().AnchorPoint, QPoint(120, 100));
    EXPECT_TRUE(th::sameImage(k.bufferBoard(), buffer));  // the old frame is not committed
}

TEST(KeyStamp, PlacesOnceOrContinuously) {
    for (bool continuous : {false, true}) {
        SCOPED_TRACE(continuous);
        Keys k;
        k.picture();
        k.model.options.StampContinuous = continuous;
        Canvas& stamp = k.model.stores.stamp();
        stamp.setBrushColor(kRed);
        stamp.fillRect(stamp.rect());
        k.model.selectTool(ToolStamp);
        k.shift({10, 10});
        EXPECT_EQ(k.s().DrawPhase, PhaseActive);
        EXPECT_TRUE(th::sameImage(k.undoBoard(), k.surfaceBoard()));

        k.tick({40, 40});
        k.shift({120, 40});  // placed where the last frame showed it
        EXPECT_EQ(k.model.stores.buffer().pixel(50, 50), kRed);
        EXPECT_EQ(k.model.stores.buffer().pixel(130, 50), TransparentKey);
        EXPECT_EQ(k.s().DrawPhase, continuous ? PhaseActive : PhaseIdle);
        EXPECT_EQ(k.s().DrawTool, ToolStamp);
        if (!continuous) continue;

        k.tick({120, 40});
        k.shift({120, 40});
        EXPECT_EQ(k.model.stores.buffer().pixel(130, 50), kRed);
        k.tick({160, 100});
        k.ctrl({160, 100});  // ends without placing
        EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
        EXPECT_EQ(k.surface().pixel(170, 110), TransparentKey);
        EXPECT_EQ(k.model.stores.buffer().pixel(170, 110), TransparentKey);
    }
}

// ---- Ctrl ---------------------------------------------------------------------------------------

TEST(KeyCtrl, IdleStartsAnEraseStrokeWithoutSavingUndo) {
    Keys k;
    k.picture();
    k.model.SaveUndo();
    const QImage undo = k.undoBoard();
    k.surface().setPixel(30, 30, kRed);
    k.ctrl({50, 60});
    EXPECT_TRUE(k.s().EraserActive);
    EXPECT_EQ(k.s().AnchorPoint, QPoint(50, 60));
    EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
    EXPECT_TRUE(th::sameImage(k.undoBoard(), undo));
    k.ctrl({90, 90});  // repeat while held
    EXPECT_EQ(k.s().AnchorPoint, QPoint(50, 60));
}

TEST(KeyCtrl, DuringAPreviewRestoresTheCommittedPicture) {
    for (int tool : {2, 3, 5, 11, 12}) {
        SCOPED_TRACE(tool);
        Keys k;
        k.picture();
        k.model.selectTool(tool);
        k.shift({20, 20});
        k.tick({100, 90});
        k.ctrl({100, 90});
        EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
        EXPECT_FALSE(k.s().EraserActive);
        EXPECT_TRUE(th::sameImage(k.surfaceBoard(), k.bufferBoard()));
        EXPECT_FALSE(k.hooks.selectionEnabled);
    }
}

// ---- key release and other keys -----------------------------------------------------------------

TEST(KeyRelease, OnlyEndsStrokesThatAreUnderWay) {
    Keys k;
    k.model.selectTool(ToolLine);
    k.shift({20, 20});
    k.tick({100, 90});
    const QImage preview = k.surfaceBoard();
    k.model.keyUp(VK_SHIFT);
    k.model.keyUp(VK_CONTROL);
    EXPECT_EQ(k.s().DrawPhase, PhaseActive);
    EXPECT_TRUE(th::sameImage(k.surfaceBoard(), preview));
    k.ctrl({0, 0});    // cancels the line
    k.ctrl({50, 50});  // and now starts erasing
    ASSERT_TRUE(k.s().EraserActive);
    k.tick({60, 50});
    ASSERT_FALSE(th::sameImage(k.surfaceBoard(), k.bufferBoard()));  // the marker dot
    k.model.keyUp(VK_CONTROL);
    EXPECT_FALSE(k.s().EraserActive);
    EXPECT_EQ(k.s().DrawPhase, PhaseIdle);
    EXPECT_TRUE(th::sameImage(k.surfaceBoard(), k.bufferBoard()));
}

TEST(KeyOther, EveryOtherKeyIsIgnored) {
    for (int phase : {0, 1, 11}) {
        Keys k;
        k.picture();
        k.model.selectTool(phase == 11 ? ToolSelection : ToolLine);
        k.s().DrawPhase = static_cast<std::uint8_t>(phase);
        k.s().FreehandActive = phase == 1;
        k.s().EraserActive = phase == 0;
        const DrawState before = k.s();
        const QImage surface = k.surface().image().copy();
        const QImage buffer = k.bufferBoard();
        const QImage undo = k.undoBoard();
        for (int key : {0, 1, 15, 18, 20, 65, 16 + 256, 17 + 65536, -16, int(Qt::Key_Shift)}) {
            k.model.keyDown(key, {80, 80});
            k.model.keyUp(key);
        }
        EXPECT_TRUE(sameState(k.s(), before)) << phase;
        EXPECT_TRUE(th::sameImage(k.surface().image(), surface));
        EXPECT_TRUE(th::sameImage(k.bufferBoard(), buffer));
        EXPECT_TRUE(th::sameImage(k.undoBoard(), undo));
    }
}

// ---- held keys: the platform repeats key-downs --------------------------------------------------

TEST(KeyRepeats, HeldShiftAlternatesCommitAndRestartForShapes) {
    Keys k;
    k.model.selectTool(ToolLine);
    k.model.setPenColor(kRed);
    std::vector<int> phases;
    QPoint at(20, 20);
    for (int i = 0; i < 4; ++i) {
        k.shift(at);
        phases.push_back(k.s().DrawPhase);
        at += QPoint(30, 20);
        k.tick(at);
    }
    EXPECT_EQ(phases, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(k.s().AnchorPoint, QPoint(80, 60));  // restarted at the cursor of the third press
    EXPECT_EQ(k.model.stores.buffer().pixel(35, 30), kRed);
    EXPECT_EQ(k.model.stores.buffer().pixel(95, 70), kRed);
}

// Key events as the window receives them: each physical Shift key reports its own press, and a
// press of the second one while the first is down counts like any other press.
TEST(KeyEvents, EveryShiftPressCountsAndOtherKeysDoNothing) {
    FakePlatform platform;
    TForm1 form{platform, {}};
    form.timer().stop();
    form.SpeedButton2Click();  // line
    auto send = [&](QEvent::Type type, int key, bool autoRepeat = false) {
        QKeyEvent e(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&form, &e);
    };
    const DrawState& s = form.model().state;
    send(QEvent::KeyPress, Qt::Key_A);
    send(QEvent::KeyPress, Qt::Key_Alt);
    EXPECT_EQ(s.DrawPhase, PhaseIdle);
    send(QEvent::KeyPress, Qt::Key_Shift);  // left Shift: anchors the line
    EXPECT_EQ(s.DrawPhase, PhaseActive);
    send(QEvent::KeyPress, Qt::Key_Shift);  // right Shift, left still down: fixes it
    EXPECT_EQ(s.DrawPhase, PhaseIdle);
    send(QEvent::KeyPress, Qt::Key_Shift, true);  // a platform repeat: anchors again
    EXPECT_EQ(s.DrawPhase, PhaseActive);
    send(QEvent::KeyPress, Qt::Key_Control);  // Ctrl cancels the line under way
    EXPECT_EQ(s.DrawPhase, PhaseIdle);
    send(QEvent::KeyRelease, Qt::Key_Control);
    send(QEvent::KeyRelease, Qt::Key_Shift);
}
