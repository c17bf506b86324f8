#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "board_fixture.h"
#include "picture/settings.h"
#include "platform/bitmap_file.h"
#include "test_helpers.h"
#include "window/tform1.h"

namespace {
using th::readAll;
using th::writeFile;
}  // namespace

TEST(Settings, DuplicateHandsOverThePictureAndStartsThisProgram) {
    QTemporaryDir dir;
    StartedBoard b(dir.path());
    TForm1& f = b.form;
    f.model().surface().setPixel(10, 10, 0x0000ff);  // drawn, not yet committed
    f.model().options.FillAtOnce = true;
    const QString handOver = dir.filePath(QStringLiteral("tmp.bmp"));
    b.platform.whileStarting = [&] {
        const bitmap_file::ReadResult picture = bitmap_file::read(handOver);
        ASSERT_TRUE(picture.ok());
        EXPECT_EQ(picture.image.size(), QSize(1600, 1200));
        EXPECT_EQ(fromQRgb(picture.image.pixel(10, 10)), 0x0000ffu);
        EXPECT_EQ(fromQRgb(picture.image.pixel(500, 300)), TransparentKey);
        EXPECT_TRUE(settings::read(settings::fileIn(dir.path())).FillAtOnce);
    };
    f.SpeedButton22Click();
    EXPECT_TRUE(b.platform.errors.isEmpty());
    ASSERT_EQ(b.platform.processes.size(), 1);
    EXPECT_EQ(b.platform.processes[0],
              (QStringList{QCoreApplication::applicationFilePath(), handOver,
                           QStringLiteral("delete"), dir.path()}));
    EXPECT_EQ(f.model().stores.buffer().pixel(10, 10), 0x0000ffu);  // committed
    EXPECT_TRUE(QFile::exists(handOver));  // the new board deletes it once it has read it
}

// Two duplicates in quick succession, with a file of the user's own under the first name: each
// board gets a file of its own, and the user's file is neither overwritten nor deleted.
TEST(Settings, EachDuplicateHandsOverAFileOfItsOwn) {
    QTemporaryDir dir;
    StartedBoard b(dir.path());
    const QString users = dir.filePath(QStringLiteral("tmp.bmp"));
    th::writeFile(users, "the user's own");
    b.form.SpeedButton22Click();
    b.form.SpeedButton22Click();
    ASSERT_EQ(b.platform.processes.size(), 2);
    const QString first = b.platform.processes[0][1], second = b.platform.processes[1][1];
    EXPECT_EQ(first, dir.filePath(QStringLiteral("tmp1.bmp")));
    EXPECT_EQ(second, dir.filePath(QStringLiteral("tmp2.bmp")));
    EXPECT_TRUE(bitmap_file::read(first).ok());
    EXPECT_TRUE(bitmap_file::read(second).ok());
    EXPECT_EQ(th::readAll(users), QByteArray("the user's own"));

    // Once the first new board has read and deleted its file, the name is free again.
    ASSERT_TRUE(QFile::remove(first));
    b.form.SpeedButton22Click();
    EXPECT_EQ(b.platform.processes[2][1], first);
}

// The new board starts on the committed picture, as save would write it: a fixed selection's
// frame is only shown on this board and stays out of it.
TEST(Settings, DuplicateWithAFixedSelectionHandsOverThePictureWithoutTheFrame) {
    QTemporaryDir dir;
    StartedBoard b(dir.path());
    BoardModel& m = b.form.model();
    b.form.show();
    th::paint(m.surface(), {20, 20, 60, 40}, 0x0000ff);
    m.stb();
    const QImage committed = m.stores.buffer().image().copy();
    m.selectTool(ToolSelection);
    m.keyDown(VK_SHIFT, {10, 10});
    m.tick({90, 70}, {90, 70});
    m.keyDown(VK_SHIFT, {90, 70});
    ASSERT_TRUE(m.state.selectionFixed());
    ASSERT_NE(m.surface().image(), committed);  // the frame is shown

    b.form.SpeedButton22Click();
    ASSERT_EQ(b.platform.processes.size(), 1);
    const bitmap_file::ReadResult handedOver = bitmap_file::read(b.platform.processes[0][1]);
    ASSERT_TRUE(handedOver.ok());
    EXPECT_TRUE(th::sameImage(handedOver.image, committed));
    EXPECT_TRUE(m.state.selectionFixed());
}

TEST(Settings, DuplicateThatCannotStartOrSaveLeavesNoHandOverFile) {
    QTemporaryDir dir;
    StartedBoard b(dir.path());
    const QString handOver = dir.filePath(QStringLiteral("tmp.bmp"));
    b.platform.processStarts = false;
    b.form.SpeedButton22Click();
    ASSERT_EQ(b.platform.errors.size(), 1);
    EXPECT_TRUE(b.platform.errors[0].contains(QCoreApplication::applicationFilePath()));
    EXPECT_FALSE(QFile::exists(handOver));

    // Settings that cannot be written: no new board is started.
    ASSERT_TRUE(QFile::remove(settings::fileIn(dir.path())));
    ASSERT_TRUE(QDir().mkdir(settings::fileIn(dir.path())));
    b.platform.processStarts = true;
    b.form.SpeedButton22Click();
    EXPECT_EQ(b.platform.errors.size(), 2);
    EXPECT_EQ(b.platform.processes.size(), 1);  // only the first attempt
    EXPECT_FALSE(QFile::exists(handOver));
}
