#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "fake_platform.h"
#include "picture/settings.h"
#include "platform/bitmap_file.h"
#include "test_helpers.h"
#include "widgets/bevel_panel.h"
#include "window/tform1.h"

namespace {

using th::readAll;
using th::writeFile;

// A board started in a folder of its own, as `velmo` would be from there.
struct StartedBoard {
    FakePlatform platform;
    std::unique_ptr<TForm1> form;

    StartedBoard(const QString& dir, const QStringList& args = {}) {
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir);
        form = std::make_unique<TForm1>(platform, args);
        QDir::setCurrent(before);
    }
    const Options& options() { return form->model().options; }
};

// The folder cannot be written to for as long as this lives. Root writes anywhere, so a test
// run as root does its writing as "nobody" meanwhile.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& dir) : dir_(dir) {
        QFile::setPermissions(QFileInfo(dir).path(), QFile::permissions(QFileInfo(dir).path()) |
                                                         QFile::ExeOther | QFile::ReadOther);
        QFile::setPermissions(
            dir_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        if (geteuid() == 0) asNobody_ = seteuid(65534) == 0;
    }
    ~ReadOnlyFolder() {
        if (asNobody_) (void)!seteuid(0);
        QFile::setPermissions(dir_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QString dir_;
    bool asNobody_ = false;
};

}  // namespace

TEST(Settings, MissingKeysTakeTheTabledDefaults) {
    QTemporaryDir dir;
    const QString path = settings::fileIn(dir.path());
    EXPECT_EQ(settings::read(path), BoardSettings{});  // no file at all
    writeFile(path, "[form1]\nborder=yes\n[preview]\nframerate=abc\n");
    EXPECT_EQ(settings::read(path), BoardSettings{});
    const BoardSettings d;
    EXPECT_TRUE(d.border && d.toolber && d.ConfirmEraseAll && d.ConfirmExitMenu && d.transparent);
    EXPECT_FALSE(d.alphablend || d.stayontop || d.ConfirmExitBox || d.StampContinuous ||
                 d.FillAtOnce);
    EXPECT_EQ(QRect(d.left, d.top, d.width, d.height), QRect(0, 0, 640, 400));
    EXPECT_EQ(d.TimerInterval, 50);
}

TEST(Settings, ANewFileHoldsTheFifteenKeysInTheirOrder) {
    QTemporaryDir dir;
    const QString path = settings::fileIn(dir.path());
    ASSERT_EQ(settings::write(path, BoardSettings{}), QString());
    EXPECT_EQ(readAll(path), QByteArray("[form1]\nborder=1\nalphablend=0\nstayontop=0\ntoolber=1\n"
                                        "width=640\nheight=400\nleft=0\ntop=0\n"
                                        "[preview]\nframerate=50\n"
                                        "[confirm]\nonEraseAll=1\nonExitMenu=1\nonExitBox=0\n"
                                        "[stump]\ncontinuous=0\n"
                                        "[paste]\ntransparent=1\n"
                                        "[floodfill]\natonce=0\n"));
}

TEST(Settings, AFileWithOnlyBorderOffStartsFramelessWithTheMissingKeyDefaults) {
    QTemporaryDir dir;
    writeFile(settings::fileIn(dir.path()), "[form1]\nborder=0\n");
    StartedBoard b(dir.path());
    TForm1& f = *b.form;
    EXPECT_FALSE(f.frameShown());
    EXPECT_FALSE(f.panel(QStringLiteral("Panel22"))->outerLowered());
    EXPECT_FALSE(f.menuItem(QStringLiteral("F3"))->isChecked());
    EXPECT_EQ(f.frameGeometry(), QRect(0, 0, 640, 400));
    EXPECT_EQ(f.timer().interval(), 50);
    EXPECT_TRUE(b.options().ConfirmEraseAll);
    EXPECT_TRUE(b.options().ConfirmExitMenu);
    EXPECT_FALSE(b.options().ConfirmExitBox);
    EXPECT_TRUE(f.toolbarShown());
    EXPECT_TRUE(f.model().stores.stamp().transparent());

    // "default" in any case keeps the designed start state, file or not.
    StartedBoard designed(dir.path(), {QStringLiteral("DeFaUlT")});
    EXPECT_TRUE(designed.form->frameShown());
    EXPECT_EQ(designed.form->size(), QSize(892, 453));
    EXPECT_EQ(designed.form->timer().interval(), 25);
    EXPECT_FALSE(designed.options().ConfirmExitMenu);
}

TEST(Settings, WhatIsSavedIsWhatTheNextStartRestores) {
    QTemporaryDir dir;
    BoardSettings s;
    s.border = false;
    s.alphablend = true;
    s.stayontop = true;
    s.toolber = false;
    s.width = 700;
    s.height = 500;
    s.left = 30;
    s.top = 40;
    s.TimerInterval = 123;
    s.ConfirmEraseAll = false;
    s.ConfirmExitMenu = false;
    s.ConfirmExitBox = true;
    s.StampContinuous = true;
    s.transparent = false;
    s.FillAtOnce = true;
    {
        StartedBoard first(dir.path());
        first.form->applySettings(s);
        first.form->model().state.StartDir = dir.path();
        ASSERT_TRUE(first.form->SaveSettings(settings::fileIn(dir.path())));
    }
    StartedBoard second(dir.path());
    EXPECT_EQ(second.form->currentSettings(), s);
    EXPECT_EQ(second.form->timer().interval(), 123);
    EXPECT_TRUE(second.form->panel(QStringLiteral("Pn_tatamu"))->isVisibleTo(second.form.get()));
    EXPECT_FALSE(second.form->menuItem(QStringLiteral("B1"))->isChecked());
    EXPECT_TRUE(second.form->menuItem(QStringLiteral("T1"))->isChecked());
    EXPECT_TRUE(second.form->menuItem(QStringLiteral("M2"))->isChecked());
    EXPECT_TRUE(second.form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(second.form->windowFlags() & Qt::FramelessWindowHint);
}

TEST(Settings, AStoredPeriodIsKeptButTheTimerStaysWithinItsRange) {
    QTemporaryDir dir;
    const QString path = settings::fileIn(dir.path());
    for (const auto& [stored, timer] :
         {std::pair{0, 5}, {-40, 5}, {4, 5}, {5000, 5000}, {100000, 5000}, {16, 16}}) {
        writeFile(path, "[preview]\nframerate=" + QByteArray::number(stored) + "\n");
        StartedBoard b(dir.path());
        EXPECT_EQ(b.form->timer().interval(), timer) << stored;
        EXPECT_EQ(b.form->currentSettings().TimerInterval, stored);  // written back as read
    }
}

TEST(Settings, ClosingWithAReadOnlyFolderShowsTheErrorAndTheBoardStaysOpen) {
    QTemporaryDir dir;
    const QString path = settings::fileIn(dir.path());
    const QByteArray old = "; mine\r\n[form1]\r\nwidth=300\r\n";
    writeFile(path, old);
    StartedBoard b(dir.path());
    TForm1& f = *b.form;
    f.show();
    {
        ReadOnlyFolder readOnly(dir.path());
        EXPECT_FALSE(f.close());
    }
    EXPECT_TRUE(f.isVisible());
    ASSERT_EQ(b.platform.errors.size(), 1);
    EXPECT_TRUE(b.platform.errors[0].contains(path)) << b.platform.errors[0].toStdString();
    EXPECT_TRUE(b.platform.confirmations.isEmpty());
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("config.ini")});
}

TEST(Settings, ExitAsksAtMostOnceAndAlwaysSavesFirst) {
    struct Case {
        bool menu, box;
        int menuQuestions, boxQuestions;  // questions asked through Exit1 and the close box
    };
    for (const Case c : {Case{false, false, 0, 0}, Case{true, false, 1, 0}, Case{false, true, 1, 1},
                         Case{true, true, 1, 1}}) {
        for (bool viaMenu : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "menu " << c.menu << " box " << c.box
                                              << (viaMenu ? " via Exit1" : " via close box"));
            QTemporaryDir dir;
            StartedBoard b(dir.path());
            TForm1& f = *b.form;
            f.model().options.ConfirmExitMenu = c.menu;
            f.model().options.ConfirmExitBox = c.box;
            f.show();
            const int questions = viaMenu ? c.menuQuestions : c.boxQuestions;
            // Cancel when asked: the board stays; OK: it closes. Unasked, it closes at once.
            b.platform.confirmAnswers = {false};
            viaMenu ? f.Exit1Click() : void(f.close());
            EXPECT_EQ(b.platform.confirmations.size(), questions);
            EXPECT_EQ(f.isVisible(), questions == 1);
            // The close handler saved before it asked, even though the close was cancelled;
            // a question from the menu comes before the close handler.
            const bool closeHandlerRan = !(viaMenu && c.menu && !c.box);
            EXPECT_EQ(QFile::exists(settings::fileIn(dir.path())), closeHandlerRan);
            if (questions == 0) continue;
            EXPECT_EQ(b.platform.confirmations[0], QStringLiteral("終了しますか？"));
            b.platform.confirmAnswers = {true};
            viaMenu ? f.Exit1Click() : void(f.close());
            EXPECT_EQ(b.platform.confirmations.size(), 2);
            EXPECT_FALSE(f.isVisible());
        }
    }
}

TEST(Settings, DuplicateHandsOverThePictureAndStartsThisProgram) {
    QTemporaryDir dir;
    StartedBoard b(dir.path());
    TForm1& f = *b.form;
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
    b.form->SpeedButton22Click();
    b.form->SpeedButton22Click();
    ASSERT_EQ(b.platform.processes.size(), 2);
    const QString first = b.platform.processes[0][1], second = b.platform.processes[1][1];
    EXPECT_EQ(first, dir.filePath(QStringLiteral("tmp1.bmp")));
    EXPECT_EQ(second, dir.filePath(QStringLiteral("tmp2.bmp")));
    EXPECT_TRUE(bitmap_file::read(first).ok());
    EXPECT_TRUE(bitmap_file::read(second).ok());
    EXPECT_EQ(th::readAll(users), QByteArray("the user's own"));

    // Once the first new board has read and deleted its file, the name is free again.
    ASSERT_TRUE(QFile::remove(first));
    b.form->SpeedButton22Click();
    EXPECT_EQ(b.platform.processes[2][1], first);
}

// The new board starts on the committed picture, as save would write it: a fixed selection's
// frame is only shown on this board and stays out of it.
TEST(Settings, DuplicateWithAFixedSelectionHandsOverThePictureWithoutTheFrame) {
    QTemporaryDir dir;
    StartedBoard b(dir.path());
    BoardModel& m = b.form->model();
    b.form->show();
    th::paint(m.surface(), {20, 20, 60, 40}, 0x0000ff);
    m.stb();
    const QImage committed = m.stores.buffer().image().copy();
    m.selectTool(ToolSelection);
    m.keyDown(VK_SHIFT, {10, 10});
    m.tick({90, 70}, {90, 70});
    m.keyDown(VK_SHIFT, {90, 70});
    ASSERT_TRUE(m.state.selectionFixed());
    ASSERT_NE(m.surface().image(), committed);  // the frame is shown

    b.form->SpeedButton22Click();
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
    b.form->SpeedButton22Click();
    ASSERT_EQ(b.platform.errors.size(), 1);
    EXPECT_TRUE(b.platform.errors[0].contains(QCoreApplication::applicationFilePath()));
    EXPECT_FALSE(QFile::exists(handOver));

    // Settings that cannot be written: no new board is started.
    ASSERT_TRUE(QFile::remove(settings::fileIn(dir.path())));
    ASSERT_TRUE(QDir().mkdir(settings::fileIn(dir.path())));
    b.platform.processStarts = true;
    b.form->SpeedButton22Click();
    EXPECT_EQ(b.platform.errors.size(), 2);
    EXPECT_EQ(b.platform.processes.size(), 1);  // only the first attempt
    EXPECT_FALSE(QFile::exists(handOver));
}
