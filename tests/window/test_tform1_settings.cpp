#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include "board_fixture.h"
#include "picture/settings.h"
#include "test_helpers.h"
#include "widgets/bevel_panel.h"
#include "window/tform1.h"

namespace {

using th::readAll;
using th::writeFile;

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

TEST(Settings, AFileWithOnlyBorderOffStartsFramelessWithTheMissingKeyDefaults) {
    QTemporaryDir dir;
    writeFile(settings::fileIn(dir.path()), "[form1]\nborder=0\n");
    StartedBoard b(dir.path());
    TForm1& f = b.form;
    EXPECT_FALSE(f.frameShown());
    EXPECT_FALSE(f.panel(QStringLiteral("Panel22"))->outerLowered());
    EXPECT_FALSE(f.menuItem(QStringLiteral("F3"))->isChecked());
    // The missing width's 640 is raised to show the whole toolbar; the file keeps 640.
    EXPECT_EQ(f.frameGeometry(), QRect(0, 0, TForm1::toolbarSize().width(), 400));
    EXPECT_EQ(f.currentSettings().width, 640);
    EXPECT_EQ(f.timer().interval(), 50);
    EXPECT_TRUE(b.options().ConfirmEraseAll);
    EXPECT_TRUE(b.options().ConfirmExitMenu);
    EXPECT_FALSE(b.options().ConfirmExitBox);
    EXPECT_TRUE(f.toolbarShown());
    EXPECT_TRUE(f.model().stores.stamp().transparent());

    // "default" in any case keeps the designed start state, file or not.
    StartedBoard designed(dir.path(), {QStringLiteral("DeFaUlT")});
    EXPECT_TRUE(designed.form.frameShown());
    EXPECT_EQ(designed.form.size(), QSize(892, 453));
    EXPECT_EQ(designed.form.timer().interval(), 25);
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
        first.form.applySettings(s);
        first.form.model().state.StartDir = dir.path();
        ASSERT_TRUE(first.form.SaveSettings(settings::fileIn(dir.path())));
    }
    StartedBoard second(dir.path());
    EXPECT_EQ(second.form.currentSettings(), s);
    EXPECT_EQ(second.form.timer().interval(), 123);
    EXPECT_TRUE(second.form.panel(QStringLiteral("Pn_tatamu"))->isVisibleTo(&second.form));
    EXPECT_FALSE(second.form.menuItem(QStringLiteral("B1"))->isChecked());
    EXPECT_TRUE(second.form.menuItem(QStringLiteral("T1"))->isChecked());
    EXPECT_TRUE(second.form.menuItem(QStringLiteral("M2"))->isChecked());
    EXPECT_TRUE(second.form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(second.form.windowFlags() & Qt::FramelessWindowHint);
}

// A file from another desktop (a monitor unplugged since) or edited by hand: the board shows on a
// screen and whole, and the file keeps the user's rectangle until the user moves the window.
TEST(Settings, AStoredRectangleOffTheScreensShowsOnOneAndStaysInTheFile) {
    QTemporaryDir dir;
    writeFile(settings::fileIn(dir.path()),
              "[form1]\nborder=0\nleft=3000\ntop=-900\nwidth=0\nheight=100000\n");
    StartedBoard b(dir.path());
    TForm1& f = b.form;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(f.frameGeometry().width(), TForm1::toolbarSize().width());
    EXPECT_EQ(f.frameGeometry().height(), screen.height());
    EXPECT_TRUE(f.frameGeometry().intersects(screen)) << "off screen";
    BoardSettings kept = f.currentSettings();
    EXPECT_EQ(QRect(kept.left, kept.top, kept.width, kept.height), QRect(3000, -900, 0, 100000));

    f.move(20, 10);  // the user takes the window: from now on its own place is kept
    kept = f.currentSettings();
    EXPECT_EQ(QRect(kept.left, kept.top, kept.width, kept.height),
              QRect(QPoint(20, 10), f.frameGeometry().size()));
}

TEST(Settings, AStoredPeriodIsKeptButTheTimerStaysWithinItsRange) {
    QTemporaryDir dir;
    const QString path = settings::fileIn(dir.path());
    for (const auto& [stored, timer] :
         {std::pair{0, 5}, {-40, 5}, {4, 5}, {5000, 5000}, {100000, 5000}, {16, 16}}) {
        writeFile(path, "[preview]\nframerate=" + QByteArray::number(stored) + "\n");
        StartedBoard b(dir.path());
        EXPECT_EQ(b.form.timer().interval(), timer) << stored;
        EXPECT_EQ(b.form.currentSettings().TimerInterval, stored);  // written back as read
    }
}

TEST(Settings, ClosingWithAReadOnlyFolderShowsTheErrorAndTheBoardStaysOpen) {
    QTemporaryDir dir;
    const QString path = settings::fileIn(dir.path());
    const QByteArray old = "; mine\r\n[form1]\r\nwidth=300\r\n";
    writeFile(path, old);
    StartedBoard b(dir.path());
    TForm1& f = b.form;
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
            TForm1& f = b.form;
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
