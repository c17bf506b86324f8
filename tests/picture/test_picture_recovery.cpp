#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "fake_platform.h"
#include "picture/picture_recovery.h"
#include "platform/bitmap_file.h"
#include "test_helpers.h"
#include "window/tform1.h"

namespace {

QImage picture(QRgb colour, QSize size = {40, 30}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QStringList files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

struct Recovery : ::testing::Test {
    QTemporaryDir dir;
    FakePlatform platform;
    QImage committed = picture(TransparentKeyRgb);
    std::unique_ptr<PictureRecovery> make() {
        return std::make_unique<PictureRecovery>(dir.path(), platform,
                                                 [this] { return committed; });
    }
    // One save period, waited for.
    static void save(PictureRecovery& r) {
        r.period();
        r.finishWrite();
    }
};

}  // namespace

TEST_F(Recovery, WritesTheCommittedPictureOnlyOnceChangedAndRemovesItOnExit) {
    auto r = make();
    r->start();
    save(*r);
    EXPECT_FALSE(QFile::exists(r->picturePath())) << "an unchanged picture is not written";

    committed.setPixel(3, 4, qRgb(10, 20, 30));
    save(*r);
    const bitmap_file::ReadResult written = bitmap_file::read(r->picturePath());
    ASSERT_TRUE(written.ok());
    EXPECT_TRUE(th::sameImage(written.image, committed));
    // Only the picture and the lock: the atomic write leaves no partial file behind.
    EXPECT_EQ(files(dir.path()).size(), 2) << files(dir.path()).join(' ').toStdString();

    r.reset();
    EXPECT_TRUE(files(dir.path()).isEmpty()) << files(dir.path()).join(' ').toStdString();
    EXPECT_TRUE(platform.errors.isEmpty());
}

TEST_F(Recovery, TakesTheNewestPictureOfAnEndedInstanceAndKeepsItUntilItsOwnFirstSave) {
    // A running instance with a saved picture of its own: never taken.
    committed = picture(qRgb(1, 2, 3));
    auto running = make();
    running->start();
    committed = picture(qRgb(4, 5, 6));
    save(*running);
    ASSERT_TRUE(QFile::exists(running->picturePath()));

    // Two left behind by ended instances (no lock held); the newer one comes back.
    const QString older = dir.filePath(QStringLiteral("recovery-11-1.bmp"));
    const QString newer = dir.filePath(QStringLiteral("recovery-12-2.bmp"));
    ASSERT_TRUE(bitmap_file::write(older, picture(qRgb(200, 0, 0))).isEmpty());
    ASSERT_TRUE(bitmap_file::write(newer, picture(qRgb(0, 200, 0))).isEmpty());
    QFile aged(older);
    ASSERT_TRUE(aged.open(QIODevice::ReadWrite));
    ASSERT_TRUE(aged.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
    aged.close();

    auto first = make();
    const QImage orphan = first->takeOrphan();
    EXPECT_TRUE(th::sameImage(orphan, picture(qRgb(0, 200, 0))));
    // A second start meanwhile does not take the same picture.
    auto second = make();
    EXPECT_TRUE(th::sameImage(second->takeOrphan(), picture(qRgb(200, 0, 0))));
    second.reset();  // exits before its first save: its orphan stays
    EXPECT_TRUE(QFile::exists(older));

    EXPECT_TRUE(QFile::exists(newer)) << "kept until the first save";
    first->start();
    save(*first);  // saved at once, changed or not
    EXPECT_FALSE(QFile::exists(newer));
    EXPECT_FALSE(QFile::exists(newer.chopped(4) + QStringLiteral(".lock")));
    EXPECT_TRUE(QFile::exists(first->picturePath()));
    EXPECT_TRUE(QFile::exists(running->picturePath()));

    // Released (the board shows another picture), the orphan stays for a later start.
    auto third = make();
    EXPECT_FALSE(third->takeOrphan().isNull());
    third->releaseOrphan();
    third->start();
    committed.setPixel(0, 0, 0);
    save(*third);
    EXPECT_TRUE(QFile::exists(older));
    EXPECT_FALSE(make()->takeOrphan().isNull());
}

TEST_F(Recovery, AFailingWriteIsReportedOnce) {
    // The folder cannot be made: a file stands in its way.
    QFile blocker(dir.filePath(QStringLiteral("state")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    {
        PictureRecovery r(dir.filePath(QStringLiteral("state/velmo")), platform,
                          [this] { return committed; });
        r.start();
        save(r);
        EXPECT_TRUE(platform.errors.isEmpty()) << "nothing to keep yet";
        for (int i = 0; i < 3; ++i) {
            committed.setPixel(i, 1, 0);
            save(r);
        }
    }
    EXPECT_EQ(platform.errors.size(), 1);

    // The picture's name is taken by a folder: every write fails.
    platform.errors.clear();
    auto r = make();
    r->start();
    ASSERT_TRUE(QDir().mkpath(r->picturePath()));
    for (int i = 0; i < 3; ++i) {
        committed.setPixel(i, 0, qRgb(0, 0, i));
        save(*r);
    }
    ASSERT_EQ(platform.errors.size(), 1);
    EXPECT_EQ(platform.errors[0], bitmap_file::cannotCreateMessage(r->picturePath()));
}

namespace {
struct RecoveringPlatform : FakePlatform {
    QString folder;
    QString recoveryFolder() override { return folder; }
};
}  // namespace

TEST_F(Recovery, TheBoardOpensWithTheRecoveredPictureUnlessTheCommandLineNamesOne) {
    RecoveringPlatform recovering;
    recovering.folder = dir.path();
    const QImage lost = picture(qRgb(0, 0, 250), {60, 50});
    const QString given = dir.filePath(QStringLiteral("given.bmp"));
    ASSERT_TRUE(bitmap_file::write(given, picture(qRgb(250, 0, 0), {60, 50})).isEmpty());

    ASSERT_TRUE(
        bitmap_file::write(dir.filePath(QStringLiteral("recovery-1-1.bmp")), lost).isEmpty());
    {
        TForm1 form(recovering, {given});
        EXPECT_EQ(form.model().stores.buffer().pixel(20, 20), fromQRgb(qRgb(250, 0, 0)));
    }
    {
        TForm1 form(recovering, {});
        EXPECT_EQ(form.model().stores.buffer().pixel(20, 20), fromQRgb(qRgb(0, 0, 250)));
        EXPECT_EQ(form.model().surface().pixel(20, 20), fromQRgb(qRgb(0, 0, 250)));
        EXPECT_EQ(form.model().stores.buffer().pixel(70, 20), TransparentKey);
    }
    EXPECT_TRUE(recovering.errors.isEmpty());
}
