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
