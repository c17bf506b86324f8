#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <QtEndian>

#include "platform/bitmap_file.h"
#include "platform/clipboard_picture.h"
#include "platform/colour.h"
#include "test_helpers.h"

namespace {

// A 24-bit bitmap of width x height whose file holds `rows` rows of pixels.
QByteArray bitmap(qint32 width, qint32 height, int rows) {
    QByteArray h(54, '\0');
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(54, h.data() + 10);
    qToLittleEndian<quint32>(40, h.data() + 14);
    qToLittleEndian<qint32>(width, h.data() + 18);
    qToLittleEndian<qint32>(height, h.data() + 22);
    qToLittleEndian<quint16>(1, h.data() + 26);
    qToLittleEndian<quint16>(24, h.data() + 28);
    const int stride = (width * 3 + 3) / 4 * 4;
    return h + QByteArray(qsizetype(stride) * rows, '\x10');
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage sample() {
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 204));
    image.setPixel(2, 3, qRgb(10, 20, 30));
    return image;
}

}  // namespace

TEST(ClipboardPicture, DecodesWhatOtherProgramsOfferAndRefusesWhatQtWouldMakeUp) {
    for (const char* format : {"png", "bmp", "ppm"}) {
        const QImage back = clipboard_picture::decode(encoded(sample(), format));
        EXPECT_TRUE(th::sameImage(back.convertToFormat(QImage::Format_RGB32), sample())) << format;
    }
    EXPECT_FALSE(clipboard_picture::decode(bitmap(8, 8, 8)).isNull());
    // Qt's own conversion makes up the rows missing from a bitmap cut short, from leftovers.
    EXPECT_FALSE(QImage::fromData(bitmap(64, 64, 1)).isNull());
    EXPECT_TRUE(clipboard_picture::decode(bitmap(64, 64, 1)).isNull());
    // A few bytes that ask for a picture far beyond any board.
    EXPECT_TRUE(clipboard_picture::decode(bitmap(8, -1300000, 1)).isNull());
    QByteArray ppm("P6\n60000 60000\n255\n");
    EXPECT_TRUE(clipboard_picture::decode(ppm + QByteArray(30, '\0')).isNull());
    EXPECT_TRUE(clipboard_picture::decode("not a picture").isNull());
}

TEST(ClipboardPicture, TakesTheFirstDecodableImageFormatAndNeverQtsConversionOfOthers) {
    QMimeData offered;
    offered.setData(QStringLiteral("image/bmp"), bitmap(64, 64, 1));  // cut short
    offered.setData(QStringLiteral("image/png"), encoded(sample(), "png"));
    EXPECT_TRUE(th::sameImage(
        clipboard_picture::fromMimeData(offered).convertToFormat(QImage::Format_RGB32), sample()));

    QMimeData broken;
    broken.setData(QStringLiteral("image/bmp"), bitmap(64, 64, 1));
    EXPECT_TRUE(clipboard_picture::fromMimeData(broken).isNull());

    QMimeData own;
    own.setImageData(sample());
    EXPECT_TRUE(th::sameImage(clipboard_picture::fromMimeData(own), sample()));

    QMimeData text;
    text.setText(QStringLiteral("text"));
    EXPECT_TRUE(clipboard_picture::fromMimeData(text).isNull());
}

// A picture with see-through parts keeps them see-through on the board: clear pixels would
// otherwise turn black and catch clicks.
TEST(ClipboardPicture, PixelsLessThanHalfOpaqueBecomeTheKeyColourTheRestOpaque) {
    QImage clear(4, 1, QImage::Format_ARGB32);
    clear.setPixel(0, 0, qRgba(10, 20, 30, 0));
    clear.setPixel(1, 0, qRgba(10, 20, 30, 127));
    clear.setPixel(2, 0, qRgba(10, 20, 30, 128));
    clear.setPixel(3, 0, qRgba(10, 20, 30, 255));
    const QImage back = clipboard_picture::decode(encoded(clear, "png"));
    ASSERT_EQ(back.format(), QImage::Format_RGB32);
    EXPECT_EQ(back.pixel(0, 0), TransparentKeyRgb);
    EXPECT_EQ(back.pixel(1, 0), TransparentKeyRgb);
    EXPECT_EQ(back.pixel(2, 0), qRgb(10, 20, 30));
    EXPECT_EQ(back.pixel(3, 0), qRgb(10, 20, 30));
}

// The limit counts the 32-bit picture the board keeps, not the decoder's own: a grey picture
// within the limit at one byte a pixel takes four times that once pasted.
TEST(ClipboardPicture, TheAllocationLimitCountsThePictureTheBoardKeeps) {
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);  // 1 MiB
    QImage grey(1024, 1000, QImage::Format_Grayscale8);
    grey.fill(200);
    const QByteArray large = encoded(grey, "png");
    const QByteArray fits = encoded(grey.copy(0, 0, 512, 500), "png");
    const QImage refused = clipboard_picture::decode(large);
    const QImage taken = clipboard_picture::decode(fits);
    QImageReader::setAllocationLimit(limit);
    EXPECT_TRUE(refused.isNull());
    ASSERT_EQ(taken.size(), QSize(512, 500));
    EXPECT_EQ(taken.pixel(511, 499), qRgb(200, 200, 200));
}
