// PNG files and the clipboard's PNG: the key colour and transparency stand for each other.
#include <gtest/gtest.h>
#include <QBuffer>
#include <QTemporaryDir>

#include "platform/clipboard_picture.h"
#include "platform/colour.h"
#include "platform/picture_file.h"
#include "test_helpers.h"

namespace {

constexpr QRgb kKey = TransparentKeyRgb;
constexpr QRgb kNearKey = 0xffffffcbu;  // one step of blue from the key: ink, not see-through

// A picture with the key, a colour next to it, black and a colour.
QImage sample() {
    QImage image(4, 2, QImage::Format_RGB32);
    const QRgb pixels[] = {kKey,        kNearKey, 0xff000000u, 0xff123456u,
                           0xff123456u, kKey,     kKey,        0xffccffffu};
    for (int i = 0; i < 8; ++i)
        image.setPixel(i % 4, i / 4, pixels[i]);
    return image;
}

}  // namespace

TEST(PictureFile, KeyColourAloneBecomesTransparent) {
    const QImage argb = picture_file::withKeyTransparent(sample());
    ASSERT_EQ(argb.format(), QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(argb.pixel(1, 0)), 255);  // near the key is still ink
    EXPECT_EQ(qAlpha(argb.pixel(2, 0)), 255);  // black is not "no colour"
    EXPECT_EQ(qAlpha(argb.pixel(3, 1)), 255);
}

// Less than half opaque is see-through whatever its colour; half or more is ink, opaque.
TEST(PictureFile, PixelsLessThanHalfOpaqueBecomeTheKey) {
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(10, 20, 30, 0));
    image.setPixel(1, 0, qRgba(10, 20, 30, 127));
    image.setPixel(2, 0, qRgba(10, 20, 30, 128));
    image.setPixel(3, 0, qRgba(10, 20, 30, 255));
    const QImage keyed = picture_file::keyedFromAlpha(image);
    ASSERT_EQ(keyed.format(), QImage::Format_RGB32);
    EXPECT_EQ(keyed.pixel(0, 0), kKey);
    EXPECT_EQ(keyed.pixel(1, 0), kKey);
    EXPECT_EQ(keyed.pixel(2, 0), qRgb(10, 20, 30));
    EXPECT_EQ(keyed.pixel(3, 0), qRgb(10, 20, 30));
}

// Saved and opened again, a PNG gives back exactly the picture; other programs see the key as
// transparent. A ".bmp" name still writes a bitmap, whatever the case of ".png" elsewhere.
TEST(PictureFile, PngRoundTripsAndBitmapNamesStayBitmaps) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("a.PNG"));
    ASSERT_TRUE(picture_file::write(png, sample()).isEmpty());
    EXPECT_TRUE(th::readAll(png).startsWith("\x89PNG"));
    const QImage seen(png);
    EXPECT_EQ(qAlpha(seen.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(seen.pixel(1, 0)), 255);
    const bitmap_file::ReadResult back = picture_file::read(png);
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_EQ(back.image, sample());

    const QString bmp = dir.filePath(QStringLiteral("a.png.bmp"));
    ASSERT_TRUE(picture_file::write(bmp, sample()).isEmpty());
    EXPECT_TRUE(th::readAll(bmp).startsWith("BM"));
    EXPECT_EQ(picture_file::read(bmp).image, sample());
}

TEST(PictureFile, DamagedPngIsRefusedWithTheBitmapMessage) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.png"));
    QImage big(64, 64, QImage::Format_RGB32);
    big.fill(0xff336699u);
    for (int i = 0; i < 64; ++i)
        big.setPixel(i, (i * 7) % 64, 0xff000000u | (i * 40503u));
    const QByteArray whole = picture_file::encodePng(big);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(whole.left(whole.size() / 2));
    f.close();
    const bitmap_file::ReadResult read = picture_file::read(path);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.error, bitmap_file::invalidBitmapMessage());
}

// The board's copy offers its own picture, the bitmap among Qt's image formats and a PNG with the
// key transparent; pasted back on the board it is the same picture.
TEST(PictureFile, ClipboardOffersAPngWithTheKeyTransparent) {
    clipboard_picture::PictureOffer offer(sample());
    EXPECT_TRUE(offer.hasImage());
    EXPECT_TRUE(offer.hasFormat(QStringLiteral("image/png")));
    const QImage png = QImage::fromData(offer.data(QStringLiteral("image/png")), "png");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(png.pixel(3, 0)), 255);
    EXPECT_EQ(clipboard_picture::fromMimeData(offer), sample());
    // Another program's transparent PNG pastes with its see-through parts as the key.
    EXPECT_EQ(clipboard_picture::decode(offer.data(QStringLiteral("image/png"))), sample());
}
