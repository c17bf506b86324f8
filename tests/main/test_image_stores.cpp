#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

void scribble(Canvas& c, TColor colour) {
    c.setPenColor(colour);
    c.setPenWidth(3);
    c.moveTo({0, 0});
    c.lineTo({150, 120});
}

}  // namespace

TEST(ImageStores, StartUpStateAndBoardRectangle) {
    TestBoard b;
    EXPECT_TRUE(b.model.state.BoardReady);
    EXPECT_EQ(b.model.penWidth(), 4);
    EXPECT_EQ(b.model.stores.buffer().width(), 1600);
    EXPECT_EQ(b.model.stores.undo().height(), 1200);
    EXPECT_EQ(b.model.stores.stamp().width(), 32);
    EXPECT_TRUE(b.model.stores.stamp().transparent());
    EXPECT_EQ(b.model.stores.boardRect(), QRect(1, 1, 199, 149));
    EXPECT_EQ(b.surface().pixel(10, 10), TransparentKey);
}

TEST(ImageStores, CommitSkipsColumnAndRowZero) {
    TestBoard b;
    scribble(b.surface(), 0x0000ff);
    b.model.stb();
    EXPECT_EQ(b.model.stores.buffer().pixel(0, 0), TransparentKey);
    EXPECT_EQ(b.model.stores.buffer().pixel(50, 40), 0x0000ffu);
}

TEST(ImageStores, TwoSwapsRestoreEverything) {
    TestBoard b;
    scribble(b.surface(), 0x00ff00);
    b.model.SaveUndo();
    b.model.stb();
    b.surface().setPenColor(0xff0000);
    b.surface().moveTo({10, 100});
    b.surface().lineTo({190, 100});
    b.model.stb();
    const QImage before = b.surface().image().copy();
    const QImage undoBefore = b.model.stores.undo().image().copy();

    b.model.SwapUndo();
    EXPECT_EQ(b.surface().pixel(100, 100), TransparentKey);
    const QImage afterOne = b.surface().image().copy();
    b.model.lfb();  // the buffer equals the new surface picture
    EXPECT_EQ(b.surface().image(), afterOne);

    b.model.SwapUndo();
    EXPECT_EQ(b.surface().image(), before);
    EXPECT_EQ(b.model.stores.undo().image().copy(1, 1, 199, 149), undoBefore.copy(1, 1, 199, 149));
}
