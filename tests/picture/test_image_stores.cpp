#include <gtest/gtest.h>

#include <QPainter>
#include <array>
#include <random>

#include "fake_platform.h"
#include "test_helpers.h"

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

namespace {

void line(Canvas& c, QPoint a, QPoint b, TColor colour, int width) {
    c.setPenColor(colour);
    c.setPenWidth(width);
    c.moveTo(a);
    c.lineTo(b);
}

}  // namespace

TEST(ImageStores, ColumnAndRowZeroAreKeyedByTheNextFrameRestore) {
    TestBoard b;
    line(b.surface(), {0, 0}, {0, 149}, 0x0000ff, 1);
    line(b.surface(), {0, 0}, {199, 0}, 0x0000ff, 1);
    line(b.surface(), {50, 50}, {60, 50}, 0x0000ff, 1);
    b.model.stb();
    for (int y = 0; y < 150; ++y)
        ASSERT_EQ(b.model.stores.buffer().pixel(0, y), TransparentKey);
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(b.model.stores.buffer().pixel(x, 0), TransparentKey);
    b.model.lfb();  // a plain restore does not touch them
    EXPECT_EQ(b.surface().pixel(0, 70), 0x0000ffu);

    b.model.state.DrawTool = ToolEyedropper;  // a preview that draws nothing
    b.model.state.DrawPhase = PhaseActive;
    b.model.tick({90, 90}, {90, 90});
    EXPECT_EQ(th::count(b.surface(), 0x0000ff, QRect(0, 0, 1, 150)), 0);
    EXPECT_EQ(th::count(b.surface(), 0x0000ff, QRect(0, 0, 200, 1)), 0);
    EXPECT_EQ(b.surface().pixel(55, 50), 0x0000ffu);
    b.model.lfb();
    b.model.SwapUndo();
    b.model.SwapUndo();
    EXPECT_EQ(b.surface().pixel(0, 70), TransparentKey);  // nothing brings them back
}

TEST(ImageStores, RestoreAfterSwapUndoChangesNothing) {
    TestBoard b;
    line(b.surface(), {10, 10}, {150, 100}, 0x00ff00, 6);
    b.model.stb();
    b.model.SaveUndo();
    line(b.surface(), {10, 100}, {150, 10}, 0xff0000, 6);
    b.model.stb();
    line(b.surface(), {100, 5}, {100, 140}, 0x808080, 3);  // uncommitted when the swap happens
    const QImage undone = b.model.stores.undo().image().copy(1, 1, 199, 149);
    b.model.EnableSelectionCommands();
    b.model.SwapUndo();
    EXPECT_TRUE(b.hooks.selectionEnabled);  // unlike stb and lfb, the swap leaves them alone
    EXPECT_TRUE(th::sameImage(b.surface().image().copy(1, 1, 199, 149), undone));
    const QImage shown = b.surface().image().copy();
    b.model.lfb();
    EXPECT_TRUE(th::sameImage(b.surface().image(), shown));
    EXPECT_FALSE(b.hooks.selectionEnabled);
    // The swapped-out picture, preview included, is now the undo picture.
    EXPECT_EQ(b.model.stores.undo().pixel(100, 120), 0x808080u);
}

TEST(ImageStores, CaptureStampCopiesExactlyTheRectangle) {
    TestBoard b;
    th::noise(b.surface(), 9);
    b.model.CaptureStamp(b.surface(), QRect(30, 20, 100, 40));
    const Canvas& stamp = b.model.stores.stamp();
    ASSERT_EQ(stamp.width(), 100);
    ASSERT_EQ(stamp.height(), 40);
    EXPECT_TRUE(th::sameImage(stamp.image(), b.surface().image().copy(30, 20, 100, 40)));
    EXPECT_TRUE(stamp.transparent());  // survives the new picture
    // Reaching beyond the surface (a selection dragged outside the window) is safe.
    b.model.CaptureStamp(b.surface(), QRect(150, 120, 100, 80));
    ASSERT_EQ(stamp.width(), 100);
    EXPECT_EQ(stamp.pixel(10, 10), b.surface().pixel(160, 130));
}

TEST(ImageStores, EmptyStampIsEmptyAndDrawsNothing) {
    TestBoard b;
    line(b.surface(), {10, 10}, {150, 100}, 0x00ff00, 6);
    b.model.stb();
    for (QRect r : {QRect(40, 40, 0, 10), QRect(40, 40, 10, 0), QRect(40, 40, 0, 0)}) {
        b.model.CaptureStamp(b.surface(), r);
        EXPECT_EQ(b.model.stores.stamp().width() * b.model.stores.stamp().height(), 0);
        for (bool transparent : {true, false}) {
            b.model.stores.stamp().setTransparent(transparent);
            b.model.selectTool(ToolStamp);
            b.model.state.DrawPhase = PhaseActive;
            b.model.tick({50, 50}, {50, 50});
            EXPECT_TRUE(
                th::sameImage(b.surface().image(),
                              th::keyedCopyOfBuffer({200, 150}, b.model.stores.buffer().image())));
        }
    }
}

TEST(ImageStores, ResizeBeforeStartUpRestoresNothing) {
    FakeHooks hooks;
    BoardModel model{hooks};
    model.FormResize({120, 80});  // the stores do not exist yet
    EXPECT_EQ(model.surface().width(), 120);
    EXPECT_EQ(th::count(model.surface(), TransparentKey), 120 * 80);
    EXPECT_EQ(hooks.selectionSwitches, 0);
}

TEST(ImageStores, ResizeAfterStartUpRestoresTheCommittedPicture) {
    TestBoard b;
    line(b.surface(), {10, 140}, {190, 140}, 0x00ff00, 4);
    b.model.stb();
    line(b.surface(), {10, 10}, {190, 10}, 0x0000ff, 4);  // an uncommitted preview
    b.surface().focusRect(QRect(20, 20, 50, 50));
    b.model.EnableSelectionCommands();

    b.model.FormResize({120, 100});  // smaller: the picture beyond stays in the buffer
    b.model.FormResize({300, 200});
    EXPECT_EQ(b.model.stores.boardRect(), QRect(1, 1, 299, 199));
    EXPECT_TRUE(th::sameImage(b.surface().image(),
                              th::keyedCopyOfBuffer({300, 200}, b.model.stores.buffer().image())));
    EXPECT_EQ(b.surface().pixel(180, 140), 0x00ff00u);
    EXPECT_EQ(th::count(b.surface(), 0x0000ff), 0);
    EXPECT_FALSE(b.hooks.selectionEnabled);
}

TEST(ImageStores, ClientLargerThanTheStores) {
    TestBoard b({1700, 1250});
    line(b.surface(), {1500, 1100}, {1690, 1240}, 0x0000ff, 8);
    b.model.stb();
    b.model.lfb();
    b.model.state.DrawTool = ToolLine;
    b.model.state.DrawPhase = PhaseActive;
    b.model.state.AnchorPoint = {1650, 10};
    b.model.tick({1650, 1240}, {0, 0});
    EXPECT_EQ(b.surface().pixel(1550, 1137), 0x0000ffu);  // inside the stores: kept
    EXPECT_EQ(b.model.stores.buffer().width(), 1600);
    EXPECT_EQ(b.model.stores.buffer().height(), 1200);
}

// ---- stores that cover the desktop ----------------------------------------------------------

namespace {

// A board made on a desktop of the given size, as the window makes it.
struct DesktopBoard {
    FakeHooks hooks;
    BoardModel model{hooks};
    DesktopBoard(QSize desktop, QSize client) {
        model.stores.coverDesktop(desktop);
        model.initialiseStores();
        model.FormResize(client);
    }
    Canvas& surface() { return model.stores.surface(); }
};

}  // namespace

TEST(StoresCoverTheDesktop, NeverSmallerThanTheDesignSizeAndAtLeastTheDesktop) {
    EXPECT_EQ(DesktopBoard({1280, 1024}, {200, 150}).model.stores.buffer().image().size(),
              QSize(1600, 1200));
    DesktopBoard wide({1920, 1080}, {200, 150});
    EXPECT_EQ(wide.model.stores.buffer().image().size(), QSize(1920, 1200));
    EXPECT_EQ(wide.model.stores.undo().image().size(), QSize(1920, 1200));
    EXPECT_EQ(wide.model.stores.stamp().width(), 32);
    EXPECT_EQ(DesktopBoard({7680, 2160}, {200, 150}).model.stores.storeSize(), QSize(7680, 2160));
}

// A stroke right of x = 1600 on a 1920-wide board outlives a preview's frame restore, an undo
// and a redo: the stores hold it like any other.
TEST(StoresCoverTheDesktop, StrokeBeyondTheDesignWidthIsKeptThroughPreviewAndUndo) {
    DesktopBoard b({1920, 1080}, {1920, 1080});
    b.model.SaveUndo();
    line(b.surface(), {1500, 500}, {1850, 500}, 0x0000ff, 4);
    b.model.stb();
    b.model.state.DrawTool = ToolLine;
    b.model.state.DrawPhase = PhaseActive;
    b.model.state.AnchorPoint = {10, 10};
    b.model.tick({300, 300}, {0, 0});
    b.model.tick({320, 300}, {0, 0});
    EXPECT_EQ(b.surface().pixel(1800, 500), 0x0000ffu);
    b.model.state.DrawPhase = PhaseIdle;
    b.model.lfb();

    b.model.SwapUndo();  // undo: the whole line goes, also its part beyond 1600
    EXPECT_EQ(th::count(b.surface(), 0x0000ff), 0);
    b.model.SwapUndo();  // redo
    EXPECT_EQ(b.surface().pixel(1800, 500), 0x0000ffu);
    EXPECT_EQ(b.surface().pixel(1550, 500), 0x0000ffu);
}

// A screen added while the board runs: the stores grow with the picture at its place, the new
// part see-through; a smaller desktop shrinks nothing.
TEST(StoresCoverTheDesktop, GrowingKeepsThePictureAndNeverShrinks) {
    DesktopBoard b({1600, 1200}, {1600, 1200});
    line(b.surface(), {100, 1100}, {1590, 1100}, 0x00ff00, 4);
    b.model.stb();
    b.model.SaveUndo();
    const QImage committed = b.model.stores.buffer().image().copy();

    b.model.stores.coverDesktop({2560, 1440});
    EXPECT_EQ(b.model.stores.buffer().image().size(), QSize(2560, 1440));
    EXPECT_EQ(b.model.stores.undo().image().size(), QSize(2560, 1440));
    EXPECT_TRUE(th::sameImage(b.model.stores.buffer().image().copy(0, 0, 1600, 1200), committed));
    EXPECT_TRUE(th::sameImage(b.model.stores.undo().image().copy(0, 0, 1600, 1200), committed));
    EXPECT_EQ(th::count(b.model.stores.buffer(), TransparentKey, QRect(1600, 0, 960, 1440)),
              960 * 1440);

    b.model.FormResize({2560, 1440});
    line(b.surface(), {2000, 1300}, {2500, 1300}, 0xff0000, 4);
    b.model.stb();
    b.model.stores.coverDesktop({1280, 1024});
    EXPECT_EQ(b.model.stores.storeSize(), QSize(2560, 1440));
    b.model.stores.frameRestore();
    EXPECT_EQ(b.surface().pixel(2400, 1300), 0xff0000u);
    EXPECT_EQ(b.surface().pixel(1000, 1100), 0x00ff00u);
}

// ---- the incremental restore against a from-scratch model ---------------------------------------

namespace {

// The stores as plain whole-picture copies: what every restore must amount to, however it is
// done.
struct PlainStores {
    Canvas surface;
    QImage buffer{ImageStores::kStoreWidth, ImageStores::kStoreHeight, QImage::Format_RGB32};
    QImage undo{buffer.size(), QImage::Format_RGB32};

    PlainStores() {
        buffer.fill(TransparentKeyRgb);
        undo.fill(TransparentKeyRgb);
    }
    QRect board() const { return QRect(1, 1, surface.width() - 1, surface.height() - 1); }
    static void copy(const QImage& from, QImage& to, const QRect& r) {
        const QRect c = r.intersected(from.rect()).intersected(to.rect());
        for (int y = c.top(); y <= c.bottom(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(from.constScanLine(y));
            auto* dst = reinterpret_cast<QRgb*>(to.scanLine(y));
            for (int x = c.left(); x <= c.right(); ++x)
                dst[x] = src[x];
        }
    }
    void resize(QSize client) {
        const TColor pen = surface.penColor();
        const int width = surface.penWidth();
        surface = Canvas(client.width(), client.height(), TransparentKey);
        surface.setPenColor(pen);
        surface.setPenWidth(width);
        restore();
    }
    void commit() { copy(surface.image(), buffer, board()); }
    void restore() { copy(buffer, surface.imageForWrite(), board()); }
    void frameRestore() {
        surface.imageForWrite().fill(TransparentKeyRgb);
        restore();
    }
    void saveUndo() { copy(surface.image(), undo, board()); }
    void swapUndo() {
        copy(undo, buffer, board());
        copy(surface.image(), undo, board());
        copy(buffer, surface.imageForWrite(), board());
    }
};

// One random drawing operation, applied the same way to any canvas.
void randomDrawing(Canvas& c, std::mt19937& r, const Canvas& stamp) {
    auto pt = [&] { return QPoint(int(r() % 320) - 30, int(r() % 260) - 30); };
    auto colour = [&] { return r() % 4 == 0 ? TransparentKey : TColor(r() & 0xffffff); };
    switch (r() % 8) {
        case 0:
        case 1:
            c.setPenColor(colour());
            c.setPenWidth(std::array{1, 4, 6, 8, 12, 16, 32}[r() % 7]);
            c.moveTo(pt());
            c.lineTo(pt());
            break;
        case 2: {
            const QPoint a = pt();
            c.arc(a, pt(), a, a);
            break;
        }
        case 3: {
            const QPoint p(int(r() % 200), int(r() % 160));
            const TColor brush = c.brushColor();
            c.setBrushColor(colour());
            c.floodFill(p, c.pixel(p.x(), p.y()));
            c.setBrushColor(brush);
            break;
        }
        case 4:
            c.focusRect(QRect(pt(), pt()).normalized());
            break;
        case 5:
            c.draw(pt(), stamp);
            break;
        case 6:
            c.setPixel(r() % 2 ? 0 : int(r() % 200), r() % 2 ? 0 : int(r() % 160), colour());
            break;
        default:
            c.fillRect(QRect(pt(), pt()));  // with the key-coloured brush: erases
            break;
    }
}

}  // namespace

TEST(ImageStores, FrameRestoreEqualsKeyFillPlusBufferAfterRandomWork) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937 rng(seed);
        TestBoard b({200, 150});
        PlainStores plain;
        plain.resize({200, 150});
        plain.surface.setPenWidth(b.model.penWidth());
        plain.surface.setPenColor(b.model.penColor());
        Canvas stamp(17, 11, 0x3040c0);
        th::noise(stamp, seed);
        for (int i = 0; i < 17; i += 2)
            stamp.setPixel(i, 5, TransparentKey);
        stamp.setTransparent(true);
        QImage presented = b.surface().image().copy();
        b.model.stores.takePresentDamage();

        for (int step = 0; step < 400; ++step) {
            const unsigned op = rng() % 20;
            const char* what = "draw";
            if (op < 9) {
                std::mt19937 twin = rng;  // both canvases see the same operation
                randomDrawing(b.surface(), rng, stamp);
                randomDrawing(plain.surface, twin, stamp);
            } else if (op < 11) {
                what = "stb";
                b.model.stb();
                plain.commit();
            } else if (op < 13) {
                what = "lfb";
                b.model.lfb();
                plain.restore();
            } else if (op < 16) {
                what = "frame";
                b.model.state.DrawTool = ToolEyedropper;
                b.model.state.DrawPhase = PhaseActive;
                b.model.tick({5, 5}, {5, 5});
                b.model.state.DrawPhase = PhaseIdle;
                plain.frameRestore();
                ASSERT_TRUE(th::sameImage(b.surface().image(),
                                          th::keyedCopyOfBuffer(b.surface().image().size(),
                                                                b.model.stores.buffer().image())))
                    << "step " << step;
            } else if (op == 16) {
                what = "SaveUndo";
                b.model.SaveUndo();
                plain.saveUndo();
            } else if (op == 17) {
                what = "SwapUndo";
                b.model.SwapUndo();
                plain.swapUndo();
            } else if (op == 18) {
                what = "resize";
                const QSize size(60 + int(rng() % 200), 50 + int(rng() % 150));
                b.model.FormResize(size);
                plain.resize(size);
                presented = QImage(size, QImage::Format_RGB32);
                presented.fill(Qt::magenta);
            } else {
                what = "buffer";  // a picture written straight into the buffer, as opening does
                Canvas& buffer = b.model.stores.buffer();
                const QPoint at(int(rng() % 180), int(rng() % 140));
                buffer.draw(at, stamp);
                QPainter(&plain.buffer)
                    .drawImage(at, buffer.image().copy(QRect(at, stamp.image().size())));
            }
            ASSERT_TRUE(th::sameImage(b.surface().image(), plain.surface.image()))
                << "step " << step << " after " << what;
            const QRect area(0, 0, 300, 220);
            ASSERT_TRUE(
                th::sameImage(b.model.stores.buffer().image().copy(area), plain.buffer.copy(area)))
                << "step " << step << " after " << what;
            ASSERT_TRUE(
                th::sameImage(b.model.stores.undo().image().copy(area), plain.undo.copy(area)))
                << "step " << step << " after " << what;
            // The window is shown only what was reported as changed. It does not ask after every
            // step, so that operations also meet drawing that nobody has looked at yet.
            if (rng() % 3) continue;
            for (const QRect& r : b.model.stores.takePresentDamage())
                PlainStores::copy(b.surface().image(), presented, r);
            ASSERT_TRUE(th::sameImage(presented, b.surface().image()))
                << "step " << step << " after " << what;
        }
    }
}
