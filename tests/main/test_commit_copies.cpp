// A commit copies only where the surface may differ from the committed picture; these cases pin
// down that the result is still that of a whole-board copy.
#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

QImage boardOf(const Canvas& c, const TestBoard& b) {
    return c.image().copy(b.model.stores.boardRect());
}

}  // namespace

TEST(CommitCopies, CommitEqualsAWholeBoardCopyAfterMixedChanges) {
    TestBoard b;
    Canvas& surface = b.surface();
    surface.setPenColor(0x0000ff);
    surface.moveTo({5, 5});
    surface.lineTo({150, 100});
    b.model.stb();
    // A restore, then more drawing, a focus frame and a single pixel.
    b.model.lfb();
    surface.setPenColor(0x00ff00);
    surface.moveTo({180, 10});
    surface.lineTo({20, 140});
    surface.focusRect(QRect(30, 30, 40, 20));
    surface.setPixel(199, 149, 0xff0000);
    b.model.stb();
    EXPECT_EQ(boardOf(b.model.stores.buffer(), b), boardOf(surface, b));
}

TEST(CommitCopies, SurfaceWinsWhereTheBufferWasWrittenDirectly) {
    TestBoard b;
    // The buffer changes outside a commit (as when a picture is opened), and is committed over
    // before any restore: the surface's pixels must replace it there.
    Canvas& buffer = b.model.stores.buffer();
    buffer.setBrushColor(0x123456);
    buffer.fillRect(QRect(10, 10, 20, 20));
    buffer.setBrushColor(TransparentKey);
    b.model.stb();
    EXPECT_EQ(buffer.pixel(15, 15), TransparentKey);
    EXPECT_EQ(boardOf(buffer, b), boardOf(b.surface(), b));
}

TEST(CommitCopies, FreehandStrokeAccumulatesInTheBuffer) {
    TestBoard b;
    DrawState& s = b.model.state;
    s.AnchorPoint = {10, 10};
    s.FreehandActive = true;
    for (QPoint c : {QPoint(40, 20), QPoint(80, 60), QPoint(120, 30)})
        b.model.tick(c, c);
    EXPECT_EQ(boardOf(b.model.stores.buffer(), b), boardOf(b.surface(), b));
    EXPECT_NE(b.model.stores.buffer().pixel(40, 20), TransparentKey);
    EXPECT_NE(b.model.stores.buffer().pixel(120, 30), TransparentKey);
}
