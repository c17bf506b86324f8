#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include "platform/bitmap_file.h"

namespace {

// A bitmap with a 40-byte header, the given palette or masks, and `pixels` as its data.
QByteArray bitmap(qint32 width, qint32 height, quint16 bits, quint32 compression,
                  const QByteArray& extra, const QByteArray& pixels) {
    QByteArray h(54, '\0');
    h[0] = 'B';
    h[1] = 'M';
    const quint32 offset = quint32(54 + extra.size());
    qToLittleEndian<quint32>(offset + quint32(pixels.size()), h.data() + 2);
    qToLittleEndian<quint32>(offset, h.data() + 10);
    qToLittleEndian<quint32>(40, h.data() + 14);
    qToLittleEndian<qint32>(width, h.data() + 18);
    qToLittleEndian<qint32>(height, h.data() + 22);
    qToLittleEndian<quint16>(1, h.data() + 26);
    qToLittleEndian<quint16>(bits, h.data() + 28);
    qToLittleEndian<quint32>(compression, h.data() + 30);
    qToLittleEndian<quint32>(quint32(pixels.size()), h.data() + 34);
    if (bits <= 8) qToLittleEndian<quint32>(quint32(extra.size() / 4), h.data() + 46);
    return h + extra + pixels;
}

// Palette entry i is (i, 2i, 3i) in blue, green, red order as stored.
QByteArray palette(int count) {
    QByteArray p;
    for (int i = 0; i < count; ++i) {
        const char entry[] = {char(3 * i), char(2 * i), char(i), 0};
        p.append(entry, 4);
    }
    return p;
}

bitmap_file::ReadResult readBytes(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return bitmap_file::read(buffer);
}

QByteArray words(std::initializer_list<quint16> values) {
    QByteArray out;
    for (quint16 v : values) {
        char b[2];
        qToLittleEndian<quint16>(v, b);
        out.append(b, 2);
    }
    return out;
}

QByteArray masks(quint32 r, quint32 g, quint32 b) {
    QByteArray out(12, '\0');
    qToLittleEndian<quint32>(r, out.data());
    qToLittleEndian<quint32>(g, out.data() + 4);
    qToLittleEndian<quint32>(b, out.data() + 8);
    return out;
}

}  // namespace

// A run-length picture cut anywhere before its end is refused as a cut uncompressed one is; a
// picture that ends every row but lacks the end code is whole.
TEST(BitmapFile, ARunLengthPictureCutShortIsRefusedAtEveryLength) {
    // 6 x 4, rows bottom up: a run, an absolute stretch (odd, so padded), a jump, the end.
    const QByteArray rle8 = QByteArray::fromHex(
        "0401"
        "0202"
        "0000"  // row 0: four of 1, two of 2
        "0003"
        "050607"
        "00"
        "0303"
        "0000"  // row 1: 5 6 7 as they are, three of 3
        "0002"
        "0001"  // a jump one row down: row 2 is left unset
        "0604"
        "0000"  // row 3: six of 4
        "0001");
    const QByteArray whole = bitmap(6, 4, 8, 1, palette(8), rle8);
    const bitmap_file::ReadResult read = readBytes(whole);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.image.pixel(0, 3), qRgb(1, 2, 3));
    EXPECT_EQ(read.image.pixel(2, 2), qRgb(7, 14, 21));
    EXPECT_EQ(read.image.pixel(5, 0), qRgb(4, 8, 12));
    EXPECT_EQ(read.image.pixel(3, 1), qRgb(0, 0, 0));  // the row jumped over
    for (qsizetype cut = 54 + 32; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        const bitmap_file::ReadResult short_ = readBytes(whole.left(cut));
        // Cut after the last row's end only the end code is missing.
        if (cut >= whole.size() - 2) {
            EXPECT_TRUE(short_.ok());
        } else {
            EXPECT_EQ(short_.error, bitmap_file::invalidBitmapMessage());
        }
    }
    // The same for four bits a pixel: 5 pixels as they are take three bytes, padded to four.
    const QByteArray rle4 = QByteArray::fromHex(
        "0005"
        "12345000"
        "0000"
        "0001");
    const QByteArray whole4 = bitmap(5, 1, 4, 2, palette(16), rle4);
    ASSERT_TRUE(readBytes(whole4).ok());
    EXPECT_EQ(readBytes(whole4).image.pixel(4, 0), qRgb(5, 10, 15));
    for (qsizetype cut = 54 + 64; cut < whole4.size() - 2; ++cut)
        EXPECT_FALSE(readBytes(whole4.left(cut)).ok()) << cut;
}

// Five- and six-bit channels open over the full range: white is white.
TEST(BitmapFile, SixteenBitChannelsSpanTheFullRange) {
    // 5-5-5 without masks: white, a red of 16, black; then 5-6-5 masks: white, a green of 32.
    const bitmap_file::ReadResult five =
        readBytes(bitmap(3, 1, 16, 0, {}, words({0x7fff, 16 << 10, 0}) + words({0})));
    ASSERT_TRUE(five.ok());
    EXPECT_EQ(five.image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(five.image.pixel(1, 0), qRgb(132, 0, 0));  // 16 of 31
    EXPECT_EQ(five.image.pixel(2, 0), qRgb(0, 0, 0));
    const bitmap_file::ReadResult six =
        readBytes(bitmap(2, 1, 16, 3, masks(0xf800, 0x07e0, 0x001f), words({0xffff, 32 << 5})));
    ASSERT_TRUE(six.ok());
    EXPECT_EQ(six.image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(six.image.pixel(1, 0), qRgb(0, 130, 0));  // 32 of 63
    // Eight-bit channels are left as they are.
    const bitmap_file::ReadResult eight = readBytes(
        bitmap(1, 1, 32, 3, masks(0xff0000, 0xff00, 0xff), QByteArray::fromHex("f8fcfe00")));
    ASSERT_TRUE(eight.ok());
    EXPECT_EQ(eight.image.pixel(0, 0), qRgb(0xfe, 0xfc, 0xf8));
}

// The limit holds for the 32-bit picture the board keeps: a kilobyte of run-length data asking
// for 16384 x 8191 (an 8-bit picture just under the limit) is refused before decoding.
TEST(BitmapFile, TheAllocationLimitCountsThePictureTheBoardKeeps) {
    ASSERT_EQ(QImageReader::allocationLimit(), 128);
    QByteArray rle;
    for (int i = 0; i < 500; ++i)
        rle += QByteArray::fromHex("ff01");
    rle += QByteArray::fromHex("0001");
    const QByteArray tiny = bitmap(16384, 8191, 8, 1, palette(2), rle);
    EXPECT_EQ(readBytes(tiny).error, bitmap_file::invalidBitmapMessage());
    // A quarter of the size fits.
    const bitmap_file::ReadResult quarter = readBytes(bitmap(8192, 4095, 8, 1, palette(2), rle));
    ASSERT_TRUE(quarter.ok());
    EXPECT_EQ(quarter.image.pixel(0, 4094), qRgb(1, 2, 3));
}
