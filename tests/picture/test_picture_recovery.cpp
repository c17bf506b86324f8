#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>
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

TEST_F(Recovery, AStateFolderThatCannotBeMadeIsReportedOnceAndTriedAgainEveryPeriod) {
    // Through the timer, as the board runs it: a constructor that gave up before it connected
    // its timer kept silent and never wrote again.
    const QString blocker = dir.filePath(QStringLiteral("state"));
    th::writeFile(blocker, "a file where the folder should be");
    PictureRecovery r(dir.filePath(QStringLiteral("state/velmo")), platform,
                      [this] { return committed; });
    r.start(10);
    committed.setPixel(1, 1, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !platform.errors.isEmpty(); }, 5000));
    EXPECT_EQ(platform.errors, QStringList{bitmap_file::cannotCreateMessage(r.picturePath())});

    // The way is cleared: the next periods make the folder and write the picture.
    ASSERT_TRUE(QFile::remove(blocker));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(r.picturePath()); }, 5000));
    r.finishWrite();
    const bitmap_file::ReadResult written = bitmap_file::read(r.picturePath());
    ASSERT_TRUE(written.ok());
    EXPECT_TRUE(th::sameImage(written.image, committed));
    EXPECT_EQ(platform.errors.size(), 1);
}

TEST_F(Recovery, AnOrphanIsTakenThoughTheProcessIdInItsLockRunsAgain) {
    // After a reboot the id written in a dead board's lock may belong to a running process,
    // even another board (here: this process, under its own name). Only a held lock counts.
    const QString orphan = dir.filePath(QStringLiteral("recovery-7-7.bmp"));
    ASSERT_TRUE(bitmap_file::write(orphan, picture(qRgb(0, 90, 0))).isEmpty());
    {
        QLockFile running(dir.filePath(QStringLiteral("running.lock")));
        ASSERT_TRUE(running.tryLock(0));
        th::writeFile(dir.filePath(QStringLiteral("recovery-7-7.lock")),
                      th::readAll(dir.filePath(QStringLiteral("running.lock"))));
    }
    // Lock files left without a picture (a board that ended with nothing to keep) go at
    // start, unless held by a board that has not written yet.
    th::writeFile(dir.filePath(QStringLiteral("recovery-8-8.lock")), "");
    auto running = make();
    auto r = make();
    EXPECT_TRUE(th::sameImage(r->takeOrphan(), picture(qRgb(0, 90, 0))));
    QStringList expected{QFileInfo(running->picturePath()).completeBaseName() + ".lock",
                         QFileInfo(r->picturePath()).completeBaseName() + ".lock",
                         "recovery-7-7.bmp", "recovery-7-7.lock"};
    expected.sort();
    EXPECT_EQ(files(dir.path()), expected);
    // Held now: a second start does not take it too.
    EXPECT_TRUE(make()->takeOrphan().isNull());
}

TEST(RecoveryFolder, ARelativeStateHomeIsIgnored) {
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    const QString home = QDir::homePath() + QStringLiteral("/.local/state/velmo");
    QtPlatform platform;
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(platform.recoveryFolder(), home);
    qputenv("XDG_STATE_HOME", "");
    EXPECT_EQ(platform.recoveryFolder(), home);
    qputenv("XDG_STATE_HOME", "/var/tmp/state");
    EXPECT_EQ(platform.recoveryFolder(), QStringLiteral("/var/tmp/state/velmo"));
    qputenv("XDG_STATE_HOME", saved);
}

namespace {
struct RecoveringPlatform : FakePlatform {
    QString folder;
    QString recoveryFolder() override { return folder; }
};

QImage storeSized(QRgb colour) {
    return picture(colour, {ImageStores::kStoreWidth, ImageStores::kStoreHeight});
}
}  // namespace

TEST_F(Recovery, TheRecoveryFileKeepsTheWholeStoreWhereverTheWindowEnds) {
    // A board restarted at a smaller size (here: its designed one, then smaller still) once
    // cut the recovered picture to its window in its first write, and lost the rest for good.
    RecoveringPlatform recovering;
    recovering.folder = dir.path();
    QImage lost = storeSized(TransparentKeyRgb);
    lost.setPixel(1000, 800, qRgb(0, 0, 0));
    lost.setPixel(775, 410, qRgb(0, 0, 0));
    const QString orphan = dir.filePath(QStringLiteral("recovery-1-1.bmp"));
    ASSERT_TRUE(bitmap_file::write(orphan, lost).isEmpty());

    TForm1 form(recovering, {});
    form.resize(500, 300);
    ASSERT_NE(form.recovery(), nullptr);
    save(*form.recovery());
    EXPECT_FALSE(QFile::exists(orphan)) << "replaced by the board's own file";
    const bitmap_file::ReadResult written = bitmap_file::read(form.recovery()->picturePath());
    ASSERT_TRUE(written.ok());
    EXPECT_TRUE(th::sameImage(written.image, lost));
}

TEST_F(Recovery, APictureTakenOverAtStartIsWrittenBeforeItsFirstEdit) {
    // A duplicate's hand-over deletes its file at start; until the first edit the board's
    // memory was its only copy.
    RecoveringPlatform recovering;
    recovering.folder = dir.path();
    const QString given = dir.filePath(QStringLiteral("tmp.bmp"));
    ASSERT_TRUE(bitmap_file::write(given, picture(qRgb(250, 0, 0), {60, 50})).isEmpty());
    {
        TForm1 form(recovering, {given, QStringLiteral("delete")});
        ASSERT_FALSE(QFile::exists(given));
        save(*form.recovery());
        const bitmap_file::ReadResult written = bitmap_file::read(form.recovery()->picturePath());
        ASSERT_TRUE(written.ok());
        EXPECT_EQ(written.image.pixel(20, 20), qRgb(250, 0, 0));
    }
    // A picture whose file stays is no change.
    ASSERT_TRUE(bitmap_file::write(given, picture(qRgb(250, 0, 0), {60, 50})).isEmpty());
    TForm1 form(recovering, {given});
    save(*form.recovery());
    EXPECT_FALSE(QFile::exists(form.recovery()->picturePath()));
    EXPECT_TRUE(recovering.errors.isEmpty());
}

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

TEST_F(Recovery, OnlyWhatIsCommittedMakesTheBoardWriteItsPictureAgain) {
    // The recovery copies and writes the picture only when the committed picture was written to
    // since the last save. A tick that touched it for writing without committing (a preview, a
    // cursor move) would make every period copy and write the whole store, 33 MB on a 4K
    // desktop, while the user only points.
    RecoveringPlatform recovering;
    recovering.folder = dir.path();
    TForm1 form(recovering, {});
    form.resize(500, 300);
    PictureRecovery& r = *form.recovery();
    BoardModel& m = form.model();
    DrawState& s = m.state;
    const auto pointAround = [&m](int from, int to) {
        for (int x = from; x < to; x += 7)
            m.tick({x, 150}, {x, 150});
    };

    s.DrawTool = ToolLine;
    s.AnchorPoint = {60, 60};
    m.SaveUndo();
    s.DrawPhase = PhaseActive;
    pointAround(80, 300);
    save(r);
    EXPECT_FALSE(QFile::exists(r.picturePath())) << "a line's preview is no change";

    s.DrawPhase = PhaseIdle;
    s.DrawTool = ToolFreehand;
    s.AnchorPoint = {100, 100};
    m.SaveUndo();
    s.FreehandActive = true;
    pointAround(100, 200);
    s.FreehandActive = false;
    save(r);
    ASSERT_TRUE(QFile::exists(r.picturePath())) << "a stroke is written";

    ASSERT_TRUE(QFile::remove(r.picturePath()));
    pointAround(100, 400);
    save(r);
    EXPECT_FALSE(QFile::exists(r.picturePath())) << "pointing after the stroke writes nothing";
    EXPECT_TRUE(recovering.errors.isEmpty());
}
