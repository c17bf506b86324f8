// Commands from outside on a real board window: they act without a dialog or a box, report
// their failures to the caller and follow the board's questions unless told not to ask.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QTemporaryDir>

#include "fake_platform.h"
#include "platform/bitmap_file.h"
#include "remote/remote_command.h"
#include "test_helpers.h"
#include "window/board_remote.h"
#include "window/command_table.h"
#include "window/tform1.h"

namespace {

struct Board {
    FakePlatform platform;
    TForm1 form{platform, {}};
    BoardRemote remote{form};
    QString run(const char* name, const QByteArray& argument = {}, bool yes = false) {
        const remote::CommandInfo* command = remote::find(name);
        EXPECT_TRUE(command) << name;
        return command ? remote.run(*command, argument, yes) : QStringLiteral("unknown");
    }
};

bool handled(const char* control) {
    const QByteArrayView name(control);
    for (const ToolbarEntry& e : toolbarEntries())
        if (name == QByteArrayView(e.name)) return e.handler != nullptr;
    for (const MenuEntry& e : menuEntries())
        if (name == QByteArrayView(e.name)) return e.handler != nullptr;
    return false;
}

}  // namespace

// A control renamed in the command table would leave its remote name doing nothing.
TEST(BoardRemote, EveryControlCommandNamesAHandlerOfTheCommandTable) {
    for (const remote::CommandInfo& c : remote::commands()) {
        if (c.kind != remote::Kind::Control) continue;
        EXPECT_TRUE(handled(c.control)) << c.name;
    }
}

TEST(BoardRemote, EraseAllAsksUnlessToldNotToAndKeepsTheSwitch) {
    Board b;
    th::paint(b.form.model().stores.buffer(), QRect(10, 10, 5, 5), th::kRed);
    b.form.model().lfb();
    // Asked: the question comes after the reply, never inside the call.
    EXPECT_TRUE(b.run("erase-all").isEmpty());
    EXPECT_TRUE(b.platform.confirmations.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(b.platform.confirmations.size(), 1);

    EXPECT_TRUE(b.run("erase-all", {}, true).isEmpty());
    EXPECT_EQ(b.platform.confirmations.size(), 1);
    EXPECT_EQ(b.form.model().surface().image().pixel(12, 12), TransparentKeyRgb);
    EXPECT_TRUE(b.form.model().options.ConfirmEraseAll);
}

// Save and open by path show no box: the message goes back to the caller.
TEST(BoardRemote, FileCommandsReportToTheCallerNotInABox) {
    Board b;
    QTemporaryDir dir;
    th::paint(b.form.model().surface(), QRect(20, 40, 6, 3), th::kBlue);
    const QString png = dir.filePath(QStringLiteral("p.png"));
    EXPECT_TRUE(b.run("save", QFile::encodeName(png)).isEmpty());
    EXPECT_EQ(QImage(png).pixel(21, 41), qRgb(0, 0, 255));
    EXPECT_EQ(qAlpha(QImage(png).pixel(0, 0)), 0);

    const QString missing = dir.filePath(QStringLiteral("none/p.png"));
    EXPECT_EQ(b.run("save", QFile::encodeName(missing)), bitmap_file::cannotCreateMessage(missing));
    EXPECT_EQ(b.run("open", QFile::encodeName(missing)), bitmap_file::cannotOpenMessage(missing));
    EXPECT_TRUE(b.platform.errors.isEmpty());

    b.form.model().surface().fillRect(b.form.model().surface().rect());
    EXPECT_TRUE(b.run("open", QFile::encodeName(png)).isEmpty());
    EXPECT_EQ(b.form.model().surface().image().pixel(21, 41), qRgb(0, 0, 255));
}

// A palette colour takes its swatch, the key the eraser, any other the free colour swatch.
TEST(BoardRemote, ColourAndWidthAsTheToolbarWouldSetThem) {
    Board b;
    const Palette& palette = b.form.model().palette;
    const Swatch& third = palette.swatch(2);
    const QRgb rgb = toQRgb(third.colour);
    const QByteArray hex =
        QByteArray("#") + QByteArray::number(rgb & 0xffffffu, 16).rightJustified(6, '0');
    EXPECT_TRUE(b.run("colour", hex).isEmpty());
    EXPECT_EQ(b.form.model().penColor(), third.colour);
    EXPECT_TRUE(palette.swatch(2).outerLowered);

    EXPECT_TRUE(b.run("colour", "#FFFFCC").isEmpty());
    EXPECT_TRUE(palette.swatch(Palette::kEraser).outerLowered);

    EXPECT_TRUE(b.run("colour", "#010203").isEmpty());
    EXPECT_EQ(b.form.model().penColor(), th::rgb(1, 2, 3));
    EXPECT_TRUE(palette.swatch(Palette::kFreeColour).outerLowered);

    EXPECT_TRUE(b.run("width", "12").isEmpty());
    EXPECT_EQ(b.form.model().surface().penWidth(), 12);
    EXPECT_TRUE(b.form.button(QStringLiteral("SpeedButton13"))->isChecked());
}

// Hidden and shown again, the board keeps its picture.
TEST(BoardRemote, HideAndShowKeepThePicture) {
    Board b;
    b.form.show();
    th::paint(b.form.model().surface(), QRect(5, 50, 4, 4), th::kGreen);
    EXPECT_TRUE(b.run("toggle").isEmpty());
    EXPECT_FALSE(b.form.isVisible());
    EXPECT_TRUE(b.run("toggle").isEmpty());
    EXPECT_TRUE(b.form.isVisible());
    EXPECT_TRUE(b.run("hide").isEmpty());
    EXPECT_TRUE(b.run("hide").isEmpty());
    EXPECT_FALSE(b.form.isVisible());
    EXPECT_TRUE(b.run("show").isEmpty());
    EXPECT_TRUE(b.form.isVisible());
    EXPECT_EQ(b.form.model().surface().image().pixel(6, 51), qRgb(0, 255, 0));
}
