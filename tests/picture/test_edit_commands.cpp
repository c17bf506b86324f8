#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "fake_platform.h"
#include "picture/edit_commands.h"
#include "platform/bitmap_file.h"
#include "test_helpers.h"

namespace {

using th::kBlue;
using th::kGreen;
using th::kRed;
using th::paint;

QImage solid(int w, int h, TColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(toQRgb(colour));
    return image;
}

// A bitmap file header and info header announcing a 24-bit w × h picture, with no pixels.
QByteArray bitmapHeader(qint32 w, qint32 h) {
    QByteArray bytes(54, '\0');
    auto* p = reinterpret_cast<uchar*>(bytes.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(54, p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(w, p + 18);
    qToLittleEndian<qint32>(h, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    return bytes;
}

class EditCommandsTest : public ::testing::Test {
protected:
    TestBoard b;
    FakePlatform platform;
    PictureDialogState openDialog, saveDialog;
    EditCommands edit{b.model, platform, openDialog, saveDialog};
    QTemporaryDir dir;

    DrawState& state() { return b.model.state; }
    const Canvas& stamp() { return b.model.stores.stamp(); }
    QImage board(const Canvas& c) { return c.image().copy(b.model.stores.boardRect()); }
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }

    // A committed picture: a red block with a blue square inside.
    void drawPicture() {
        paint(b.surface(), {20, 20, 60, 40}, kRed);
        paint(b.surface(), {30, 30, 10, 10}, kBlue);
        b.model.stb();
    }
    // Fixes a range selection from a to c by keys, as the user does; its frame stays shown.
    void fixSelection(QPoint a = {20, 20}, QPoint c = {60, 50}) {
        b.model.selectTool(ToolSelection);
        b.model.keyDown(VK_SHIFT, a);
        b.model.tick(c, c);
        b.model.keyDown(VK_SHIFT, c);
        ASSERT_TRUE(state().selectionFixed());
        ASSERT_TRUE(b.hooks.selectionEnabled);
        if (a.x() != c.x() && a.y() != c.y()) {  // the frame
            ASSERT_NE(board(b.surface()), board(b.model.stores.buffer()));
        }
    }
    void expectStampIsSelection() {
        EXPECT_EQ(stamp().width(), 40);
        EXPECT_EQ(stamp().height(), 30);
        EXPECT_EQ(stamp().pixel(0, 0), kRed);
        EXPECT_EQ(stamp().pixel(10, 10), kBlue);
    }
    // After the command: still fixed, frame gone, selection commands off.
    void expectSelectionKeptHidden() {
        EXPECT_TRUE(state().selectionFixed());
        EXPECT_EQ(board(b.surface()), board(b.model.stores.buffer()));
        EXPECT_FALSE(b.hooks.selectionEnabled);
    }
    void expectStampStarted() {
        EXPECT_EQ(state().DrawTool, ToolStamp);
        EXPECT_EQ(state().DrawPhase, PhaseActive);
        EXPECT_EQ(b.hooks.toolChanges.value(b.hooks.toolChanges.size() - 1), int(ToolStamp));
    }
};

TEST_F(EditCommandsTest, UndoTwiceIsIdentity) {
    drawPicture();
    b.model.SaveUndo();
    paint(b.surface(), {100, 100, 20, 20}, kGreen);
    b.model.stb();
    const QImage before = board(b.surface());
    const int switches = b.hooks.selectionSwitches;

    edit.undoRedo();
    EXPECT_EQ(b.surface().pixel(110, 110), TransparentKey);
    EXPECT_EQ(b.surface().pixel(25, 25), kRed);
    EXPECT_EQ(board(b.model.stores.buffer()), board(b.surface()));
    edit.undoRedo();
    EXPECT_EQ(board(b.surface()), before);
    EXPECT_EQ(state().DrawTool, ToolFreehand);
    EXPECT_EQ(b.hooks.selectionSwitches, switches);
}

TEST_F(EditCommandsTest, UndoWithFixedSelectionDropsTheFrameButKeepsTheSelection) {
    drawPicture();
    b.model.SaveUndo();
    fixSelection();
    const QImage picture = board(b.model.stores.buffer());

    edit.undoRedo();
    expectSelectionKeptHidden();
    EXPECT_EQ(board(b.model.stores.undo()), picture);  // no frame in the undo picture

    // Activating the window brings the frame and the commands back.
    state().RepaintPending = true;
    b.model.tick({0, 0}, {0, 0});
    EXPECT_TRUE(b.hooks.selectionEnabled);
    EXPECT_NE(board(b.surface()), board(b.model.stores.buffer()));
}

// Nothing that is only shown (a selection frame, a preview) ever enters the committed picture
// through the undo picture.
TEST_F(EditCommandsTest, UndoNeverCommitsAFrameOrAPreview) {
    drawPicture();
    const QImage picture = board(b.model.stores.buffer());

    // A paste over a fixed selection, undone: the frame stays out of the picture.
    fixSelection();
    platform.clipboard = solid(8, 8, kGreen);
    edit.pasteFromClipboard();
    EXPECT_EQ(board(b.model.stores.undo()), picture);
    edit.undoRedo();
    EXPECT_EQ(board(b.model.stores.buffer()), picture);

    // Undo twice while a line preview runs: the preview is drawn again, never committed.
    b.model.keyDown(VK_CONTROL, {0, 0});  // drops the stamp
    b.model.keyUp(VK_CONTROL);
    b.model.selectTool(ToolLine);
    b.model.keyDown(VK_SHIFT, {10, 100});
    b.model.tick({150, 120}, {150, 120});
    const QImage committed = board(b.model.stores.buffer());
    edit.undoRedo();
    edit.undoRedo();
    EXPECT_EQ(board(b.model.stores.buffer()), committed);
    EXPECT_EQ(state().DrawPhase, PhaseActive);
    b.model.tick({150, 120}, {150, 120});
    EXPECT_NE(board(b.surface()), committed);  // the preview is back on the surface
}

TEST_F(EditCommandsTest, CopyToClipboardCapturesAndKeepsTheSelection) {
    drawPicture();
    fixSelection();
    const QImage undo = b.model.stores.undo().image();

    edit.copyToClipboard();
    expectStampIsSelection();
    expectSelectionKeptHidden();
    ASSERT_TRUE(platform.clipboard);
    EXPECT_EQ(*platform.clipboard, stamp().image());
    EXPECT_EQ(b.model.stores.undo().image(), undo);
    EXPECT_TRUE(platform.errors.isEmpty());
}

TEST_F(EditCommandsTest, CutThenPasteBringsTheBlockBackAsAStamp) {
    drawPicture();
    fixSelection();
    const QImage picture = board(b.model.stores.buffer());

    edit.cutToClipboard();
    expectStampIsSelection();
    expectSelectionKeptHidden();
    EXPECT_EQ(board(b.model.stores.undo()), picture);
    EXPECT_EQ(b.model.stores.buffer().pixel(25, 25), TransparentKey);  // the hole is committed
    EXPECT_EQ(b.model.stores.buffer().pixel(70, 25), kRed);            // outside it stays

    b.model.stores.stamp().setSize(1, 1);  // forget the stamp: it must come from the clipboard
    edit.pasteFromClipboard();
    expectStampIsSelection();
    expectStampStarted();
    b.model.tick({120, 90}, {120, 90});
    EXPECT_EQ(b.surface().pixel(120, 90), kRed);
    EXPECT_EQ(b.surface().pixel(130, 100), kBlue);
    EXPECT_EQ(b.surface().pixel(25, 25), TransparentKey);  // still see-through
}

TEST_F(EditCommandsTest, CopyAsStampStartsStampingWithoutAHole) {
    drawPicture();
    fixSelection();
    const QImage picture = board(b.model.stores.buffer());

    edit.copySelectionAsStamp();
    expectStampIsSelection();
    expectStampStarted();
    EXPECT_FALSE(b.hooks.selectionEnabled);
    EXPECT_EQ(board(b.surface()), picture);  // frame removed, nothing cut
    EXPECT_EQ(board(b.model.stores.undo()), picture);
}

TEST_F(EditCommandsTest, MovePlaceUndoReturnsToTheBoardBeforeTheMove) {
    drawPicture();
    paint(b.surface(), {20, 20, 5, 5}, TransparentKey);  // a see-through corner in the block
    paint(b.surface(), {100, 70, 10, 10}, kGreen);
    b.model.stb();
    const QImage before = board(b.surface());
    fixSelection();

    edit.moveSelection();
    expectStampStarted();
    EXPECT_EQ(b.model.stores.buffer().pixel(35, 35), TransparentKey);  // the committed hole
    b.model.tick({100, 70}, {100, 70});
    b.model.keyDown(VK_SHIFT, {100, 70});
    EXPECT_EQ(state().DrawPhase, PhaseIdle);
    EXPECT_EQ(b.model.stores.buffer().pixel(110, 80), kBlue);
    EXPECT_EQ(b.model.stores.buffer().pixel(101, 71), kGreen);  // the key corner let it show
    EXPECT_EQ(b.model.stores.buffer().pixel(106, 76), kRed);

    edit.undoRedo();
    EXPECT_EQ(board(b.surface()), before);
}

TEST_F(EditCommandsTest, CopyToFileWritesTheSelectionChosenInTheSaveDialog) {
    drawPicture();
    fixSelection();
    saveDialog.fileName = path("last.bmp");
    platform.saveAnswers = {path("block.bmp")};
    platform.whileDialogOpen = [&] {
        // Ticks run while the dialog is open: the capture is done, the frame is off.
        expectStampIsSelection();
        expectSelectionKeptHidden();
    };

    edit.copyToFile();
    EXPECT_EQ(platform.calls, QStringList{"save-dialog " + path("last.bmp")});
    EXPECT_EQ(saveDialog.fileName, path("block.bmp"));
    const bitmap_file::ReadResult written = bitmap_file::read(path("block.bmp"));
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.image, stamp().image());
    expectSelectionKeptHidden();
}

TEST_F(EditCommandsTest, CopyToFileCancelledStillReplacesTheStamp) {
    drawPicture();
    fixSelection();
    platform.saveAnswers = {std::nullopt};

    edit.copyToFile();
    expectStampIsSelection();
    expectSelectionKeptHidden();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(platform.errors.isEmpty());
}

TEST_F(EditCommandsTest, ZeroAreaSelectionGivesAnEmptyStamp) {
    drawPicture();
    fixSelection({30, 30}, {30, 45});
    edit.copySelectionAsStamp();
    EXPECT_EQ(stamp().width(), 0);
    const QImage picture = board(b.surface());
    b.model.tick({30, 30}, {30, 30});
    EXPECT_EQ(board(b.surface()), picture);
}

// An empty selection gives nothing to hand on: copy, cut and copy to file change nothing and
// claim nothing, as if disabled; the clipboard keeps what it held.
TEST_F(EditCommandsTest, ZeroAreaSelectionIsNotCopiedCutOrWritten) {
    drawPicture();
    for (const auto& [a, c] :
         {std::pair{QPoint(30, 30), QPoint(30, 45)}, std::pair{QPoint(30, 30), QPoint(50, 30)}}) {
        fixSelection(a, c);
        const QImage before = board(b.surface()), committed = board(b.model.stores.buffer());
        const QImage undo = board(b.model.stores.undo());
        platform.clipboard = solid(3, 3, kGreen);
        platform.saveAnswers = {path("empty.bmp")};
        platform.calls.clear();
        edit.copyToClipboard();
        edit.cutToClipboard();
        edit.copyToFile();
        EXPECT_EQ(platform.calls, QStringList());
        EXPECT_EQ(platform.errors, QStringList());
        EXPECT_EQ(*platform.clipboard, solid(3, 3, kGreen));
        EXPECT_FALSE(QFile::exists(path("empty.bmp")));
        EXPECT_TRUE(state().selectionFixed());
        EXPECT_TRUE(b.hooks.selectionEnabled);
        EXPECT_EQ(board(b.surface()), before);
        EXPECT_EQ(board(b.model.stores.buffer()), committed);
        EXPECT_EQ(board(b.model.stores.undo()), undo);
    }
}

// The board draws while a slow clipboard owner sends: undoing the paste goes back to the picture
// with the stroke made meanwhile, not to the one before it.
TEST_F(EditCommandsTest, AStrokeMadeWhileTheClipboardIsReadIsKeptByThePastesUndo) {
    platform.clipboard = solid(5, 5, kGreen);
    platform.whileReadingClipboard = [&] {
        b.model.SaveUndo();
        paint(b.surface(), {10, 10, 5, 5}, kRed);
        b.model.stb();
    };
    edit.pasteFromClipboard();
    EXPECT_EQ(b.model.stores.undo().pixel(12, 12), kRed);
}

TEST_F(EditCommandsTest, PasteKeepsAPictureLargerThanTheBoardWhole) {
    platform.clipboard = solid(2000, 1500, kGreen);
    edit.pasteFromClipboard();
    EXPECT_EQ(stamp().width(), 2000);
    EXPECT_EQ(stamp().height(), 1500);
    b.model.tick({-100, -100}, {0, 0});
    EXPECT_EQ(b.surface().pixel(199, 149), kGreen);
}

TEST_F(EditCommandsTest, StampTransparencyIsKeptByEveryStampChange) {
    for (bool transparent : {false, true}) {
        b.model.stores.stamp().setTransparent(transparent);
        platform.clipboard = solid(5, 5, kGreen);
        edit.pasteFromClipboard();
        EXPECT_EQ(stamp().transparent(), transparent);
        b.model.keyDown(VK_CONTROL, {0, 0});  // ends the stamp preview
        fixSelection();
        edit.copySelectionAsStamp();
        EXPECT_EQ(stamp().transparent(), transparent);
    }
}

TEST_F(EditCommandsTest, PasteFromFileUsesAndRemembersTheOpenDialogName) {
    ASSERT_TRUE(bitmap_file::write(path("a.bmp"), solid(7, 3, kBlue)).isEmpty());
    openDialog.fileName = path("old.bmp");
    platform.openAnswers = {path("a.bmp"), std::nullopt};

    edit.pasteFromChosenFile();
    EXPECT_EQ(stamp().width(), 7);
    EXPECT_EQ(stamp().pixel(6, 2), kBlue);
    expectStampStarted();

    // Cancelled: nothing happens, not even the undo picture.
    paint(b.surface(), {50, 50, 5, 5}, kRed);
    const QImage undo = b.model.stores.undo().image();
    edit.pasteFromChosenFile();
    EXPECT_EQ(platform.calls,
              (QStringList{"open-dialog " + path("old.bmp"), "open-dialog " + path("a.bmp")}));
    EXPECT_EQ(b.model.stores.undo().image(), undo);
    EXPECT_TRUE(platform.errors.isEmpty());
}

// Paste failures: the undo picture is already the surface as it was (an uncommitted preview
// included), while the stamp, tool and phase stay.
class PasteFailureTest : public EditCommandsTest {
protected:
    QImage shown;
    void SetUp() override {
        paint(b.surface(), {10, 10, 10, 10}, kGreen);  // uncommitted
        shown = board(b.surface());
    }
    void expectFailedWith(const QString& message) {
        EXPECT_EQ(platform.errors, QStringList{message});
        EXPECT_EQ(board(b.model.stores.undo()), shown);
        EXPECT_EQ(stamp().width(), 32);
        EXPECT_EQ(state().DrawTool, ToolFreehand);
        EXPECT_EQ(state().DrawPhase, PhaseIdle);
        EXPECT_TRUE(b.hooks.toolChanges.isEmpty());
    }
    void pasteFile(const QString& name) {
        platform.openAnswers = {name};
        edit.pasteFromChosenFile();
    }
};

TEST_F(PasteFailureTest, ClipboardWithoutAPicture) {
    edit.pasteFromClipboard();
    expectFailedWith("未対応のクリップボード データです");
}

TEST_F(PasteFailureTest, ClipboardThatCannotBeOpened) {
    platform.clipboard = solid(5, 5, kRed);
    platform.clipboardOpens = false;
    edit.pasteFromClipboard();
    expectFailedWith("クリップボードを開くことができません");
}

TEST_F(PasteFailureTest, MissingFile) {
    pasteFile(path("none.bmp"));
    expectFailedWith("ファイル " + path("none.bmp") + " は開けません");
}

TEST_F(PasteFailureTest, GarbageFile) {
    QFile file(path("junk.bmp"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM this is not a bitmap at all, only a few words of text");
    file.close();
    pasteFile(path("junk.bmp"));
    expectFailedWith("ビットマップイメージが不正です");
}

TEST_F(PasteFailureTest, TruncatedFile) {
    ASSERT_TRUE(bitmap_file::write(path("cut.bmp"), solid(100, 80, kRed)).isEmpty());
    QFile file(path("cut.bmp"));
    ASSERT_TRUE(file.resize(file.size() / 2));
    pasteFile(path("cut.bmp"));
    expectFailedWith("ビットマップイメージが不正です");
}

TEST(BitmapFile, HeadersAskingForHugePicturesAreRefused) {
    QTemporaryDir dir;
    // Beyond the size limit, and within it but with no pixel data behind the header: neither
    // may allocate the picture the header asks for.
    for (auto [w, h] : {std::pair{100000, 100000}, {8000, 8000}, {3000, 3000}, {-5, 10}}) {
        QFile file(dir.filePath("big.bmp"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bitmapHeader(w, h) + QByteArray(1 << 16, '\x7f'));
        file.close();
        EXPECT_EQ(bitmap_file::read(file.fileName()).error, "ビットマップイメージが不正です")
            << w << "x" << h;
    }
}

TEST_F(EditCommandsTest, ClipboardThatCannotBeOpenedByCopyAndCut) {
    drawPicture();
    platform.clipboardOpens = false;
    fixSelection();
    edit.copyToClipboard();
    expectStampIsSelection();
    expectSelectionKeptHidden();

    fixSelection();
    edit.cutToClipboard();
    expectStampIsSelection();
    EXPECT_EQ(b.model.stores.buffer().pixel(25, 25), TransparentKey);
    EXPECT_EQ(platform.errors, QStringList(2, "クリップボードを開くことができません"));
    EXPECT_FALSE(platform.clipboard);
}

TEST_F(EditCommandsTest, CopyToFileThatCannotBeCreated) {
    drawPicture();
    fixSelection();
    const QString name = path("no/such/dir/x.bmp");
    platform.saveAnswers = {name};
    edit.copyToFile();
    expectStampIsSelection();
    EXPECT_EQ(platform.errors, QStringList{"ファイル " + name + " を作成できません"});
    EXPECT_FALSE(QFile::exists(name));
}

TEST_F(EditCommandsTest, FailedWriteLeavesAnExistingFileIntact) {
    ASSERT_TRUE(bitmap_file::write(path("keep.bmp"), solid(4, 4, kRed)).isEmpty());
    // An empty picture cannot be written as a bitmap.
    EXPECT_EQ(bitmap_file::write(path("keep.bmp"), QImage()),
              "ファイル " + path("keep.bmp") + " を作成できません");
    const bitmap_file::ReadResult kept = bitmap_file::read(path("keep.bmp"));
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.image, solid(4, 4, kRed));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.bmp"});
}

}  // namespace
