#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <csignal>

#include "fake_platform.h"
#include "picture/file_commands.h"
#include "platform/bitmap_file.h"
#include "test_helpers.h"

namespace {

using th::kBlue;
using th::kGreen;
using th::kRed;
using th::paint;
using th::readAll;
using th::writeFile;

class FileCommandsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TestBoard b;  // client area 200 × 150
    FakePlatform platform;
    PictureDialogState openDialog, saveDialog;
    FileCommands files{b.model, platform, openDialog, saveDialog, dir.filePath("velmo.html")};

    ImageStores& stores() { return b.model.stores; }
    QImage board(const Canvas& c) { return c.image().copy(stores().boardRect()); }
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }

    // A committed drawing inside the client area, and one beyond it that only the store keeps.
    void drawPicture() {
        paint(b.surface(), {20, 20, 60, 40}, kRed);
        b.model.stb();
        paint(stores().buffer(), {900, 700, 50, 50}, kBlue);
        stores().buffer().takeDamage();
    }
    // The surface shows the committed picture and nothing else.
    void expectSurfaceShowsBuffer() {
        EXPECT_TRUE(th::sameImage(
            b.surface().image(),
            th::keyedCopyOfBuffer(b.surface().image().size(), stores().buffer().image())));
    }
};

TEST_F(FileCommandsTest, EraseAllAsksAfterTakingTheUndoPictureAndClearsOnOk) {
    drawPicture();
    const QImage drawn = stores().buffer().image();
    paint(stores().undo(), {5, 5, 10, 10}, kGreen);  // an older undo picture

    platform.confirmAnswers = {false};
    files.eraseAll();
    EXPECT_EQ(platform.confirmations, QStringList{"全部消して宜しいですか？"});
    EXPECT_EQ(stores().buffer().image(), drawn);
    EXPECT_EQ(board(b.surface()), board(stores().buffer()));
    EXPECT_EQ(board(stores().undo()), board(stores().buffer())) << "undo taken before the question";

    platform.confirmAnswers = {true};
    files.eraseAll();
    EXPECT_EQ(th::count(b.surface(), TransparentKey), 200 * 150);
    EXPECT_EQ(th::count(stores().buffer(), TransparentKey, stores().boardRect()), 199 * 149);
    EXPECT_EQ(stores().buffer().pixel(910, 710), kBlue) << "beyond the client area";
    EXPECT_EQ(board(stores().undo()), drawn.copy(stores().boardRect()));

    // Without the confirmation it clears at once.
    b.model.options.ConfirmEraseAll = false;
    paint(b.surface(), {30, 30, 5, 5}, kRed);
    b.model.stb();
    files.eraseAll();
    EXPECT_EQ(platform.confirmations.size(), 2);
    EXPECT_EQ(stores().buffer().pixel(32, 32), TransparentKey);
    EXPECT_EQ(stores().undo().pixel(32, 32), kRed);
}

TEST_F(FileCommandsTest, EraseAllKeepsASelectionFrameOutOfTheUndoPicture) {
    drawPicture();
    b.model.selectTool(ToolSelection);
    b.model.keyDown(VK_SHIFT, {10, 10});
    b.model.tick({90, 90}, {90, 90});
    b.model.keyDown(VK_SHIFT, {90, 90});
    ASSERT_NE(board(b.surface()), board(stores().buffer()));  // the frame shows

    platform.confirmAnswers = {false};
    files.eraseAll();
    EXPECT_EQ(board(stores().undo()), board(stores().buffer()));
}

TEST_F(FileCommandsTest, OpenClearsOnlyTheClientAreaAndShowsThePictureAtTheTopLeft) {
    drawPicture();
    const QImage undo = stores().undo().image();
    QImage picture(100, 100, QImage::Format_RGB32);
    picture.fill(toQRgb(kGreen));
    ASSERT_EQ(bitmap_file::write(path("small.bmp"), picture), QString());
    openDialog.fileName = path("before.bmp");
    platform.openAnswers = {path("small.bmp")};

    files.openPicture();
    EXPECT_EQ(platform.calls, QStringList{"open-dialog " + path("before.bmp")});
    EXPECT_EQ(openDialog.fileName, path("small.bmp"));
    const Canvas& buffer = stores().buffer();
    EXPECT_EQ(th::count(buffer, kGreen, {0, 0, 100, 100}), 100 * 100);
    EXPECT_EQ(th::count(buffer, TransparentKey, {0, 0, 200, 150}), 200 * 150 - 100 * 100);
    EXPECT_EQ(th::count(buffer, kBlue), 50 * 50) << "the drawing beyond the client area stays";
    expectSurfaceShowsBuffer();
    EXPECT_EQ(stores().undo().image(), undo);
    EXPECT_TRUE(platform.errors.isEmpty());

    // A picture larger than the store is clipped at its right and bottom edges.
    QImage big(1700, 1300, QImage::Format_RGB32);
    big.fill(toQRgb(kRed));
    for (int y = 0; y < big.height(); y += 97)
        for (int x = 0; x < big.width(); ++x)
            big.setPixel(x, y, toQRgb(TColor(x * 4099u + y)));
    ASSERT_EQ(bitmap_file::write(path("big.bmp"), big), QString());
    ASSERT_TRUE(files.loadPicture(path("big.bmp")));
    EXPECT_TRUE(th::sameImage(buffer.image(), big.copy(0, 0, 1600, 1200)));
    expectSurfaceShowsBuffer();
}

TEST_F(FileCommandsTest, AFileThatCannotBeReadChangesNothing) {
    drawPicture();
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(toQRgb(kGreen));
    ASSERT_EQ(bitmap_file::write(path("cut.bmp"), picture), QString());
    QFile(path("cut.bmp")).resize(QFile(path("cut.bmp")).size() / 2);
    writeFile(path("text.bmp"), "BM but then only a few words of text");
    // A header that asks for a picture of 100000 × 100000 pixels.
    QByteArray absurd(54, '\0');
    auto* h = reinterpret_cast<uchar*>(absurd.data());
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(54, h + 10);
    qToLittleEndian<quint32>(40, h + 14);
    qToLittleEndian<qint32>(100000, h + 18);
    qToLittleEndian<qint32>(100000, h + 22);
    qToLittleEndian<quint16>(1, h + 26);
    qToLittleEndian<quint16>(24, h + 28);
    writeFile(path("absurd.bmp"), absurd + QByteArray(4096, '\x55'));
    QDir(dir.path()).mkdir("folder.bmp");

    const QImage buffer = stores().buffer().image();
    const QImage surface = b.surface().image();
    const QImage undo = stores().undo().image();
    const QString invalid = "ビットマップイメージが不正です";
    const std::pair<const char*, QString> cases[] = {
        {"none.bmp", "ファイル " + path("none.bmp") + " は開けません"},
        {"folder.bmp", "ファイル " + path("folder.bmp") + " は開けません"},
        {"cut.bmp", invalid},
        {"text.bmp", invalid},
        {"absurd.bmp", invalid},
    };
    for (const auto& [name, message] : cases) {
        platform.errors.clear();
        platform.openAnswers = {path(name)};
        files.openPicture();
        EXPECT_EQ(platform.errors, QStringList{message}) << name;
        EXPECT_EQ(stores().buffer().image(), buffer) << name;
        EXPECT_EQ(b.surface().image(), surface) << name;
        EXPECT_EQ(stores().undo().image(), undo) << name;
        // Nothing is pending for the next restore either.
        b.model.tick({5, 5}, {5, 5});
        b.model.lfb();
        EXPECT_EQ(b.surface().image(), surface) << name;
    }
}

TEST_F(FileCommandsTest, SaveWritesTheWholeStoreAs24BitBitmapThatOpensToTheSamePicture) {
    th::noise(stores().buffer(), 7);
    paint(stores().buffer(), {0, 0, 1600, 3}, TransparentKey);  // key pixels are saved as such
    b.model.lfb();
    const QImage saved = stores().buffer().image();
    // A line under way: its preview is no part of the saved picture.
    b.model.selectTool(ToolLine);
    b.model.keyDown(VK_SHIFT, {10, 10});
    b.model.tick({150, 120}, {150, 120});
    ASSERT_NE(board(b.surface()), board(stores().buffer()));
    platform.saveAnswers = {path("whole.bmp")};

    files.savePicture();
    EXPECT_TRUE(platform.errors.isEmpty());
    const QByteArray bytes = readAll(path("whole.bmp"));
    ASSERT_GE(bytes.size(), 54);
    const auto* h = reinterpret_cast<const uchar*>(bytes.constData());
    EXPECT_EQ(qFromLittleEndian<qint32>(h + 18), 1600);
    EXPECT_EQ(qAbs(qFromLittleEndian<qint32>(h + 22)), 1200);
    EXPECT_EQ(qFromLittleEndian<quint16>(h + 28), 24);
    EXPECT_EQ(bytes.size(), 54 + 1600 * 3 * 1200);

    b.model.keyDown(VK_CONTROL, {0, 0});  // drops the line
    b.model.options.ConfirmEraseAll = false;
    files.eraseAll();
    platform.openAnswers = {path("whole.bmp")};
    files.openPicture();
    EXPECT_TRUE(th::sameImage(stores().buffer().image(), saved));
}

// On a desktop wider than 1600 the file holds the whole grown store, strokes beyond 1600 too.
TEST_F(FileCommandsTest, SaveOnAWideDesktopWritesTheWholeStore) {
    stores().coverDesktop({1920, 1080});
    b.model.FormResize({1920, 1080});
    paint(b.surface(), {1790, 1000, 20, 20}, kRed);
    platform.saveAnswers = {path("wide.bmp")};
    files.savePicture();
    const QImage saved(path("wide.bmp"));
    ASSERT_EQ(saved.size(), QSize(1920, 1200));
    EXPECT_EQ(saved.pixel(1800, 1010) & 0xffffff, toQRgb(kRed) & 0xffffff);
}

TEST_F(FileCommandsTest, SaveThatCannotBeWrittenLeavesTheOldFileByteForByte) {
    QImage old(40, 30, QImage::Format_RGB32);
    old.fill(toQRgb(kBlue));
    ASSERT_EQ(bitmap_file::write(path("old.bmp"), old), QString());
    const QByteArray before = readAll(path("old.bmp"));
    drawPicture();
    platform.saveAnswers = {path("old.bmp")};

    // Files may grow to 64 KiB only, as on a full disk: the 5.8 MB picture cannot be written.
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit limit{}, saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    limit = saved;
    limit.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    files.savePicture();
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(platform.errors, QStringList{"ファイル " + path("old.bmp") + " を作成できません"});
    EXPECT_EQ(readAll(path("old.bmp")), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.bmp"});
}

TEST_F(FileCommandsTest, HelpOpensTopicOneOrNamesThePageItCannotOpen) {
    files.showHelp();
    EXPECT_EQ(platform.errors, QStringList{"ファイル " + path("velmo.html") + " は開けません"});
    EXPECT_EQ(platform.calls, QStringList{"error"}) << "no help window for a missing page";

    writeFile(path("velmo.html"), "<html><body><a name=\"topic1\"></a>help</body></html>");
    platform.calls.clear();
    files.showHelp();
    EXPECT_EQ(platform.calls, QStringList{"help " + path("velmo.html") + "#1"});

    platform.helpOpens = false;  // the page is there but the viewer cannot show it
    platform.errors.clear();
    files.showHelp();
    EXPECT_EQ(platform.errors, QStringList{"ファイル " + path("velmo.html") + " は開けません"});
}

}  // namespace
