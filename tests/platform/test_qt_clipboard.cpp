#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "platform/colour.h"
#include "platform/platform.h"

TEST(QtClipboard, PictureRoundTripAndTextIsNoBitmap) {
    QtPlatform platform;
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(toQRgb(TransparentKey));
    picture.setPixel(1, 1, toQRgb(0x0000ff));

    ASSERT_EQ(platform.writeClipboardImage(picture), ClipboardStatus::Ok);
    QImage back;
    ASSERT_EQ(platform.readClipboardImage(back), ClipboardStatus::Ok);
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture);

    QGuiApplication::clipboard()->setText(QStringLiteral("text"));
    QImage none(1, 1, QImage::Format_RGB32);
    EXPECT_EQ(platform.readClipboardImage(none), ClipboardStatus::NoBitmap);
    EXPECT_EQ(none.size(), QSize(1, 1));  // untouched
}
