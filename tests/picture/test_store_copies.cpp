// Commits and frame restores copy only where the surface may differ from the committed picture;
// these cases pin down that the result is still that of whole-board copies.
#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

QImage boardOf(const Canvas& c, const TestBoard& b) {
    return c.image().copy(b.model.stores.boardRect());
}

}  // namespace

TEST(StoreCopies, CommitEqualsAWholeBoardCopyAfterMixedChanges) {
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

TEST(StoreCopies, SurfaceWinsWhereTheBufferWasWrittenDirectly) {
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

TEST(StoreCopies, FreehandStrokeAccumulatesInTheBuffer) {
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

TEST(StoreCopies, FrameRestoreEqualsKeyFillThenWholeBoardRestore) {
    // A client area larger than the stores, so that part of it has no stored picture.
    TestBoard b(QSize(1700, 1300));
    Canvas& surface = b.surface();
    surface.setPenColor(0x0000ff);
    surface.setPenWidth(6);
    surface.moveTo({0, 0});
    surface.lineTo({1690, 1290});
    b.model.stb();
    surface.setPenColor(0x00ff00);
    surface.moveTo({1650, 0});
    surface.lineTo({0, 1250});
    surface.focusRect(QRect(1500, 1100, 150, 150));

    b.model.stores.frameRestore();

    QImage expected(surface.width(), surface.height(), QImage::Format_RGB32);
    expected.fill(TransparentKeyRgb);
    const QRect stored = b.model.stores.boardRect().intersected(QRect(0, 0, 1600, 1200));
    blockCopy(b.model.stores.buffer().image(), expected, stored);
    EXPECT_EQ(surface.image(), expected);
    EXPECT_EQ(surface.pixel(0, 0), TransparentKey);        // row and column 0 are never restored
    EXPECT_EQ(surface.pixel(1650, 1240), TransparentKey);  // beyond the stores
    EXPECT_NE(surface.pixel(845, 645), TransparentKey);    // the committed line
}

TEST(StoreCopies, SettledLeavesOutOnlyWhatDiffersFromTheCommittedPicture) {
    TestBoard b;
    Canvas& surface = b.surface();
    b.model.stores.frameRestore();
    const QRegion everywhere(surface.rect());
    // A preview line: drawn, not committed.
    surface.moveTo({20, 20});
    surface.lineTo({120, 20});
    const QRegion settled = b.model.stores.settled(everywhere);
    EXPECT_FALSE(settled.contains(QPoint(60, 20)));
    EXPECT_TRUE(settled.contains(QPoint(60, 60)));
    // Restored away, the line's pixels show the committed picture again.
    b.model.lfb();
    EXPECT_EQ(b.model.stores.settled(everywhere), everywhere);
    // Drawn and committed, they are settled too.
    surface.moveTo({20, 40});
    surface.lineTo({120, 40});
    b.model.stb();
    EXPECT_TRUE(b.model.stores.settled(everywhere).contains(QPoint(60, 40)));
}
