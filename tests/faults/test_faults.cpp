// Real faults of the file system and of process start, against the board's real writers and
// commands: a folder that is read-only (EROFS) or full (ENOSPC), a "config.ini" that is a folder,
// a chosen file that is gone before it is read, and a duplicate whose program cannot start. The
// faults are made in a private mount namespace (see private_mounts.h), so they are real to the
// board and invisible to everything else on the machine.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "picture/picture_recovery.h"
#include "picture/settings.h"
#include "platform/bitmap_file.h"
#include "private_mounts.h"
#include "test_helpers.h"
#include "window/tform1.h"

namespace {

using th::kBlue;
using th::kRed;
using th::readAll;
using th::writeFile;

QString namespaceError = QStringLiteral("not tried");

// The scripted platform, but processes are started for real.
struct StartingPlatform : FakePlatform {
    QtPlatform real;
    bool startProcess(const QString& program, const QStringList& arguments,
                      const QString& workingDirectory) override {
        FakePlatform::startProcess(program, arguments, workingDirectory);
        return real.startProcess(program, arguments, workingDirectory);
    }
};

// A board started in a folder, as `velmo` would be from there, with a picture drawn and
// committed.
struct Board : BoardWindowOf<StartingPlatform> {
    explicit Board(const QString& startDir) : BoardWindowOf({}, startDir) {
        form.show();
        th::paint(surface(), {20, 20, 60, 40}, kRed);
        th::paint(surface(), {30, 30, 10, 10}, kBlue);
        form.stb();
    }
    QImage committed() { return model().stores.buffer().image(); }

    // A range selection fixed by keys, as the user makes one.
    void fixSelection() {
        model().selectTool(ToolSelection);
        model().keyDown(VK_SHIFT, {20, 20});
        model().tick({60, 50}, {60, 50});
        model().keyDown(VK_SHIFT, {60, 50});
        ASSERT_TRUE(model().state.selectionFixed());
    }
};

// Every file and folder under a folder, each with its size and a hash of its bytes.
std::vector<std::string> contents(const QString& folder) {
    std::vector<std::string> all;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString entry = QDir(folder).relativeFilePath(info.filePath());
        if (info.isDir()) {
            entry += QStringLiteral("/");
        } else {
            const QByteArray bytes = readAll(info.filePath());
            entry += QStringLiteral(" %1 bytes %2")
                         .arg(bytes.size())
                         .arg(QString::fromLatin1(
                             QCryptographicHash::hash(bytes, QCryptographicHash::Sha1)
                                 .toHex()
                                 .left(12)));
        }
        all.push_back(entry.toStdString());
    }
    std::sort(all.begin(), all.end());
    return all;
}

// Its file (3654 bytes) is smaller than Qt's write buffer (16 KiB), so nothing of it reaches the
// disk before the writer finishes: a full disk shows only then.
QImage smallPicture(TColor colour) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(toQRgb(colour));
    return image;
}

class Faults : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString good;  // a folder without faults
    QString faulty;
    std::unique_ptr<private_mounts::Tmpfs> mount;  // on `faulty`, 256 KiB
    FakePlatform recoveryPlatform;
    int changes = 0;

    void SetUp() override {
        ASSERT_TRUE(namespaceError.isEmpty())
            << "these tests need a private mount namespace to make real faults, and none could "
               "be made: "
            << namespaceError.toStdString();
        good = dir.filePath(QStringLiteral("good"));
        faulty = dir.filePath(QStringLiteral("faulty"));
        ASSERT_TRUE(QDir().mkpath(good));
        ASSERT_TRUE(QDir().mkpath(faulty));
        mount = std::make_unique<private_mounts::Tmpfs>(faulty, 256);
        ASSERT_EQ(mount->error(), QString());
        // What the folder held before the fault: settings of the user's own and a picture.
        writeFile(settings::fileIn(faulty), "; mine\r\n[form1]\r\nwidth=300\r\n[other]\r\nx=1\r\n");
        ASSERT_EQ(bitmap_file::write(in(faulty, "old.bmp"), smallPicture(kBlue)), QString());
    }
    void TearDown() override { mount.reset(); }

    static QString in(const QString& folder, const char* name) {
        return folder + QLatin1Char('/') + QLatin1String(name);
    }

    // Every writer of the board, each run once into the faulty folder: each shows the error
    // box once, naming the file, and leaves every file there as it was and the picture in the
    // stores as it was. Returns the board for what follows.
    std::unique_ptr<Board> expectEveryWriterRefused() {
        auto board = std::make_unique<Board>(faulty);
        Board& b = *board;
        const QImage picture = b.committed();
        const std::vector<std::string> before = contents(faulty);

        struct Writer {
            const char* what;
            const char* file;  // the file named by the error box
            std::function<void()> run;
        };
        const Writer writers[] = {
            {"closing the board", "config.ini",
             [&] { EXPECT_FALSE(b.form.close()) << "the board stays open"; }},
            {"saving over a picture", "old.bmp",
             [&] {
                 b.platform.saveAnswers = {in(faulty, "old.bmp")};
                 b.form.SpeedButton17Click();
             }},
            {"saving a new picture", "new.bmp",
             [&] {
                 b.platform.saveAnswers = {in(faulty, "new.bmp")};
                 b.form.SpeedButton17Click();
             }},
            {"copying the selection to a file", "old.bmp",
             [&] {
                 b.fixSelection();
                 b.platform.saveAnswers = {in(faulty, "old.bmp")};
                 b.form.SpeedButton34Click();
             }},
            {"duplicating the board", "tmp.bmp", [&] { b.form.SpeedButton22Click(); }},
        };
        for (const Writer& w : writers) {
            SCOPED_TRACE(w.what);
            b.platform.errors.clear();
            w.run();
            EXPECT_EQ(b.platform.errors,
                      QStringList{bitmap_file::cannotCreateMessage(in(faulty, w.file))});
            EXPECT_EQ(contents(faulty), before);
            EXPECT_TRUE(th::sameImage(b.committed(), picture));
            EXPECT_TRUE(b.form.isVisible());
        }
        EXPECT_TRUE(b.platform.processes.isEmpty()) << "no board started without its picture";
        EXPECT_TRUE(b.platform.confirmations.isEmpty());
        return board;
    }

    // The recovery writer keeps failing as the picture changes: one error box, no file left.
    void expectRecoveryReportedOnce(PictureRecovery& recovery, QImage& picture) {
        const std::vector<std::string> before = contents(faulty);
        for (int i = 0; i < 4; ++i) {
            picture.setPixel(i, 0, qRgb(0, ++changes, 0));
            recovery.period();
            recovery.finishWrite();
        }
        EXPECT_EQ(recoveryPlatform.errors,
                  QStringList{bitmap_file::cannotCreateMessage(recovery.picturePath())});
        EXPECT_EQ(contents(faulty), before);
    }
    // The board saves to another folder meanwhile, and once the fault is gone it closes as
    // ever, keeping what the user had in the settings file.
    void expectUsableAgain(Board& b) {
        b.platform.errors.clear();
        b.platform.saveAnswers = {in(good, "again.bmp")};
        b.form.SpeedButton17Click();
        const bitmap_file::ReadResult saved = bitmap_file::read(in(good, "again.bmp"));
        ASSERT_TRUE(saved.ok());
        EXPECT_TRUE(th::sameImage(saved.image, b.committed()));
        EXPECT_TRUE(b.form.close());
        EXPECT_TRUE(b.platform.errors.isEmpty());
        const QByteArray ini = readAll(settings::fileIn(faulty));
        EXPECT_TRUE(ini.startsWith("; mine\r\n[form1]\r\n")) << ini.toStdString();
        EXPECT_TRUE(ini.contains("[other]\r\nx=1\r\n")) << ini.toStdString();
    }
};

TEST_F(Faults, AReadOnlyFolderRefusesEveryWriteAndLosesNoByte) {
    ASSERT_TRUE(mount->makeReadOnly());
    ASSERT_FALSE(QFile(in(faulty, "probe")).open(QIODevice::WriteOnly));
    const std::unique_ptr<Board> b = expectEveryWriterRefused();
    // The recovery file's folder is read-only from the start: said once, when there is
    // something to keep.
    QImage picture = smallPicture(kRed);
    {
        PictureRecovery recovery(in(faulty, "state"), recoveryPlatform, [&] { return picture; });
        recovery.start();
        expectRecoveryReportedOnce(recovery, picture);
    }

    ASSERT_TRUE(mount->makeWritable());
    expectUsableAgain(*b);
}

TEST_F(Faults, AFullDiskRefusesEveryWriteAndLosesNoByte) {
    // The recovery file's folder fills up while the board runs.
    QImage picture = smallPicture(kRed);
    auto recovery = std::make_unique<PictureRecovery>(in(faulty, "state"), recoveryPlatform,
                                                      [&] { return picture; });
    recovery->start();
    ASSERT_TRUE(mount->fill(QStringLiteral("filler")));

    const std::unique_ptr<Board> b = expectEveryWriterRefused();
    expectRecoveryReportedOnce(*recovery, picture);
    recovery.reset();
    // A board started while the folder is full cannot write its picture either.
    recoveryPlatform.errors.clear();
    {
        PictureRecovery late(in(faulty, "state"), recoveryPlatform, [&] { return picture; });
        late.start();
        expectRecoveryReportedOnce(late, picture);
    }

    ASSERT_TRUE(QFile::remove(in(faulty, "filler")));
    expectUsableAgain(*b);
}

// A start folder that takes no new file, holding a settings file that is writable (here one
// mounted from a writable folder): the board closes, its settings written over the file itself,
// the user's own lines kept.
TEST_F(Faults, AReadOnlyFolderWithAWritableConfigIniClosesAndWritesItInPlace) {
    const QString writable = settings::fileIn(good);
    writeFile(writable, "; mine\r\n[form1]\r\nwidth=300\r\n[other]\r\nx=1\r\n");
    ASSERT_TRUE(mount->makeReadOnly());
    ASSERT_EQ(private_mounts::bind(writable, settings::fileIn(faulty)), QString());
    ASSERT_FALSE(QFile(in(faulty, "probe")).open(QIODevice::WriteOnly));
    {
        Board b(faulty);
        b.model().options.FillAtOnce = !b.model().options.FillAtOnce;  // a setting changed
        EXPECT_TRUE(b.form.close());
        EXPECT_TRUE(b.platform.errors.isEmpty());
        EXPECT_EQ(settings::read(settings::fileIn(faulty)), b.form.currentSettings());
    }
    private_mounts::unmount(settings::fileIn(faulty));
    const QByteArray ini = readAll(writable);
    EXPECT_TRUE(ini.startsWith("; mine\r\n[form1]\r\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("[other]\r\nx=1\r\n")) << ini.toStdString();
}

TEST_F(Faults, ALeftoverRecoveryFileIsOfferedFromAReadOnlyOrFullFolder) {
    // Reading needs no writable folder: a board that could not take a lock of its own there
    // once started empty, though the picture lay readable before it.
    const QString state = in(faulty, "state");
    ASSERT_TRUE(QDir().mkpath(state));
    const QImage lost = smallPicture(kBlue);
    const QString orphan = in(faulty, "state/recovery-1-1.bmp");
    ASSERT_EQ(bitmap_file::write(orphan, lost), QString());
    writeFile(in(faulty, "state/recovery-1-1.lock"), "");
    QImage picture = smallPicture(kRed);

    ASSERT_TRUE(mount->makeReadOnly());
    {
        PictureRecovery recovery(state, recoveryPlatform, [&] { return picture; });
        EXPECT_TRUE(th::sameImage(recovery.takeOrphan(), lost));
        recovery.start();
        expectRecoveryReportedOnce(recovery, picture);
    }
    EXPECT_TRUE(QFile::exists(orphan)) << "still there for a later start";

    ASSERT_TRUE(mount->makeWritable());
    ASSERT_TRUE(mount->fill(QStringLiteral("filler")));
    recoveryPlatform.errors.clear();
    {
        PictureRecovery recovery(state, recoveryPlatform, [&] { return picture; });
        EXPECT_TRUE(th::sameImage(recovery.takeOrphan(), lost));
        recovery.start();
        expectRecoveryReportedOnce(recovery, picture);
    }
    EXPECT_TRUE(QFile::exists(orphan));
}

TEST_F(Faults, ADuplicateWhoseProgramCannotStartSaysSoAndLeavesNoHandOver) {
    const QString program = QCoreApplication::applicationFilePath();
    // The program's folder is covered for one case; the board's own folder must stay in view.
    ASSERT_FALSE(good.startsWith(QCoreApplication::applicationDirPath() + QLatin1Char('/')))
        << "run this test from outside the temporary folder";
    const QString text = in(good, "not-a-program");
    writeFile(text, "only text\n");
    ASSERT_TRUE(QFile::setPermissions(text, QFile::ReadOwner | QFile::WriteOwner));
    Board b(good);
    const QImage picture = b.committed();

    struct Case {
        const char* what;
        std::function<QString()> make;  // empty, or why the fault could not be made
        std::function<void()> undo;
    };
    std::unique_ptr<private_mounts::Tmpfs> emptyFolder;
    const Case cases[] = {
        {"the program is not executable", [&] { return private_mounts::bind(text, program); },
         [&] { private_mounts::unmount(program); }},
        {"the program is gone",
         [&] {
             emptyFolder = std::make_unique<private_mounts::Tmpfs>(
                 QCoreApplication::applicationDirPath(), 64);
             return emptyFolder->error();
         },
         [&] { emptyFolder.reset(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        b.platform.errors.clear();
        b.model().options.FillAtOnce = !b.model().options.FillAtOnce;  // a setting changed
        ASSERT_EQ(c.make(), QString());
        b.form.SpeedButton22Click();
        c.undo();
        EXPECT_EQ(b.platform.errors,
                  QStringList{QStringLiteral("プログラム %1 を起動できません").arg(program)});
        EXPECT_FALSE(QFile::exists(in(good, "tmp.bmp")));
        // The settings were written for the board that did not start, as they always are first.
        EXPECT_EQ(settings::read(settings::fileIn(good)), b.form.currentSettings());
        EXPECT_TRUE(th::sameImage(b.committed(), picture));
    }
    EXPECT_EQ(b.platform.processes.size(), 2);
}

// No mount is needed for these: the board is started in a folder of its own.
TEST(FaultsOfFiles, AConfigIniThatIsAFolderIsNoSettingsFileAndCannotBeWritten) {
    QTemporaryDir dir;
    const QString ini = settings::fileIn(dir.path());
    ASSERT_TRUE(QDir().mkdir(ini));
    writeFile(ini + QStringLiteral("/inside"), "kept\n");
    const std::vector<std::string> before = contents(dir.path());

    // Not read: the board keeps its designed start state, not the defaults of missing keys.
    Board b(dir.path());
    EXPECT_EQ(b.form.timer().interval(), 25);
    EXPECT_FALSE(b.model().options.ConfirmExitMenu);
    EXPECT_TRUE(b.platform.errors.isEmpty());

    // Not written: each close says so once and the board stays, the folder untouched.
    for (int attempt = 0; attempt < 2; ++attempt) {
        b.platform.errors.clear();
        EXPECT_FALSE(b.form.close());
        EXPECT_EQ(b.platform.errors, QStringList{bitmap_file::cannotCreateMessage(ini)});
        EXPECT_TRUE(b.form.isVisible());
        EXPECT_EQ(contents(dir.path()), before);
    }

    // The folder moved away, the board closes and writes its settings.
    ASSERT_TRUE(QDir(ini).removeRecursively());
    b.platform.errors.clear();
    EXPECT_TRUE(b.form.close());
    EXPECT_TRUE(b.platform.errors.isEmpty());
    EXPECT_EQ(settings::read(ini).TimerInterval, 25);
}

TEST(FaultsOfFiles, AChosenFileGoneOrNoLongerAFileIsReportedAndChangesNothing) {
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("chosen.bmp"));
    Board b(dir.path());
    struct Case {
        const char* what;
        std::function<void()> run;
        std::function<void()> meanwhile;  // what another program does while the dialog is open
    };
    auto gone = [&] { QFile::remove(chosen); };
    // A named pipe must not keep the board waiting for a writer.
    auto pipe = [&] {
        QFile::remove(chosen);
        ASSERT_EQ(mkfifo(QFile::encodeName(chosen).constData(), 0600), 0);
    };
    auto open = [&] { b.form.SpeedButton16Click(); };
    auto paste = [&] { b.form.SpeedButton33Click(); };
    const Case cases[] = {
        {"open, file removed", open, gone},
        {"paste from file, file removed", paste, gone},
        {"open, file replaced by a named pipe", open, pipe},
        {"paste from file, file replaced by a named pipe", paste, pipe},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(chosen);
        ASSERT_EQ(bitmap_file::write(chosen, smallPicture(kRed)), QString());
        const QImage committed = b.committed();
        const QImage surface = b.surface().image();
        const QImage stamp = b.model().stores.stamp().image();
        const int tool = b.model().state.DrawTool;
        b.platform.errors.clear();
        b.platform.openAnswers = {chosen};
        b.platform.whileDialogOpen = c.meanwhile;
        c.run();
        EXPECT_EQ(b.platform.errors, QStringList{bitmap_file::cannotOpenMessage(chosen)});
        EXPECT_TRUE(th::sameImage(b.committed(), committed));
        EXPECT_TRUE(th::sameImage(b.surface().image(), surface));
        EXPECT_TRUE(th::sameImage(b.model().stores.stamp().image(), stamp));
        EXPECT_EQ(b.model().state.DrawTool, tool);
    }
}

// A device whose reads fail from a given byte on, as a file cut short by another program while
// it is read, or a medium that fails part-way.
class FailingDevice : public QBuffer {
public:
    FailingDevice(QByteArray* bytes, qint64 failAt) : QBuffer(bytes), failAt_(failAt) {}

protected:
    qint64 readData(char* data, qint64 most) override {
        if (pos() >= failAt_) return -1;
        return QBuffer::readData(data, std::min(most, failAt_ - pos()));
    }

private:
    qint64 failAt_;
};

TEST(FaultsOfFiles, ABitmapWhoseReadFailsPartWayIsRefused) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.bmp"));
    ASSERT_EQ(bitmap_file::write(path, smallPicture(kRed)), QString());
    QByteArray bytes = readAll(path);
    for (const qint64 failAt : {bytes.size() - 1, bytes.size() / 2, qint64(60), bytes.size()}) {
        FailingDevice device(&bytes, failAt);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        const bitmap_file::ReadResult read = bitmap_file::read(device);
        if (failAt == bytes.size()) {
            ASSERT_TRUE(read.ok()) << "the whole file is a picture";
            EXPECT_TRUE(th::sameImage(read.image, smallPicture(kRed)));
        } else {
            EXPECT_EQ(read.error, bitmap_file::invalidBitmapMessage()) << "failing at " << failAt;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A started copy of this program (a duplicate that should not have started) does nothing.
    if (argc == 3 && std::strcmp(argv[2], "delete") == 0) return 3;
    // Before Qt starts any thread.
    namespaceError = private_mounts::enter();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
