#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "picture/settings.h"
#include "test_helpers.h"

namespace {
using th::readAll;
using th::writeFile;
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
