#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <random>

#include "fake_platform.h"
#include "picture/startup.h"
#include "platform/bitmap_file.h"
#include "platform/file_names.h"
#include "platform/picture_file.h"
#include "test_helpers.h"

namespace {

const QString kInvalid = QStringLiteral("ビットマップイメージが不正です");

// A 24-bit bitmap file header and info header as written by hand, for the files the writer
// would never produce.
QByteArray bmpHeaders(qint32 width, qint32 height, quint32 pixelBytes, quint16 bits = 24,
                      quint32 compression = 0, QByteArray palette = {}) {
    QByteArray h(54, '\0');
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, h.data() + at); };
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, h.data() + at); };
    h[0] = 'B';
    h[1] = 'M';
    put32(2, 54 + palette.size() + pixelBytes);
    put32(10, 54 + palette.size());
    put32(14, 40);
    put32(18, static_cast<quint32>(width));
    put32(22, static_cast<quint32>(height));
    put16(26, 1);
    put16(28, bits);
    put32(30, compression);
    put32(34, pixelBytes);
    put32(46, palette.size() / 4);
    return h + palette;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QImage pattern(int w, int h, unsigned seed) {
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, 0xff000000u | (rng() & 0xffffffu));
    img.setPixel(0, 0, 0xff000000u);  // black in the corner the board never shows
    return img;
}

struct Startup : ::testing::Test {
    QTemporaryDir dir;
    TestBoard board;
    FakePlatform platform;

    QString path(const QString& name) const { return dir.filePath(name); }
    QString picture(const QString& name, const QImage& img) {
        const QString p = path(name);
        EXPECT_EQ(bitmap_file::write(p, img), QString());
        return p;
    }
    void handOver(const QStringList& args) {
        startup::handOverPicture(board.model, args, platform);
    }
    const Canvas& buffer() { return board.model.stores.buffer(); }
    // A committed drawing across the board, which a refused picture must leave alone.
    void drawing() {
        Canvas& s = board.surface();
        s.setPenColor(0x00ff00);
        s.moveTo({1, 1});
        s.lineTo({199, 149});
        board.model.stb();
    }
};

}  // namespace

TEST(StartupSettings, DefaultInAnyCaseSkipsTheSettingsFile) {
    QTemporaryDir dir;
    EXPECT_FALSE(startup::shouldLoadSettings(dir.path(), {}));  // no file, nothing to load
    writeFile(dir.filePath(QStringLiteral("config.ini")), "[form1]\n");
    EXPECT_TRUE(startup::shouldLoadSettings(dir.path(), {}));
    for (const char* word : {"default", "DEFAULT", "Default", "dEfAuLt"})
        EXPECT_FALSE(startup::shouldLoadSettings(dir.path(), {QString::fromLatin1(word)})) << word;
    for (const char* word : {"defaults", "default.bmp", "", "x.bmp"})
        EXPECT_TRUE(startup::shouldLoadSettings(dir.path(), {QString::fromLatin1(word), "delete"}))
            << word;
}

TEST_F(Startup, PictureBecomesTheCommittedPictureAndIsShown) {
    drawing();
    board.model.EnableSelectionCommands();
    const QImage img = pattern(50, 30, 1);
    const QString file = picture(QStringLiteral("pic.bmp"), img);
    handOver({file});
    EXPECT_TRUE(platform.errors.isEmpty());
    ASSERT_EQ(buffer().width(), 1600);
    ASSERT_EQ(buffer().height(), 1200);
    EXPECT_TRUE(th::sameImage(buffer().image().copy(0, 0, 50, 30), img));
    // The rest of the buffer is the key colour: the earlier drawing is replaced.
    EXPECT_EQ(th::count(buffer(), TransparentKey, QRect(0, 0, 300, 200)), 300 * 200 - 50 * 30);
    EXPECT_TRUE(th::sameImage(board.surface().image(),
                              th::keyedCopyOfBuffer({200, 150}, buffer().image())));
    EXPECT_FALSE(board.hooks.selectionEnabled);
    EXPECT_TRUE(QFile::exists(file));
}

TEST_F(Startup, ExtensionAndDeleteWordInAnyCase) {
    const QImage img = pattern(8, 8, 2);
    const QString upper = picture(QStringLiteral("UP.BMP"), img);
    handOver({upper, QStringLiteral("DELETE")});
    EXPECT_EQ(buffer().pixel(5, 5), fromQRgb(img.pixel(5, 5)));
    EXPECT_FALSE(QFile::exists(upper));

    const QImage other = pattern(8, 8, 3);
    const QString kept = picture(QStringLiteral("mixed.Bmp"), other);
    handOver({kept, QStringLiteral("keep")});
    EXPECT_EQ(buffer().pixel(5, 5), fromQRgb(other.pixel(5, 5)));
    EXPECT_TRUE(QFile::exists(kept));
    handOver({kept, QStringLiteral("deleted")});
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_TRUE(platform.errors.isEmpty());
}

// A name that is not UTF-8 reaches the system as the bytes it came as: opened, then deleted.
TEST_F(Startup, ANameThatIsNotUtf8OpensAndIsDeleted) {
    const QImage img = pattern(8, 8, 6);
    const QByteArray raw = QFile::encodeName(dir.path()) + "/\xff\xfe caf\xc3\xa9.bmp";
    ASSERT_EQ(::rename(QFile::encodeName(picture(QStringLiteral("plain.bmp"), img)).constData(),
                       raw.constData()),
              0);
    QByteArray name = raw, word = "delete", program = "velmo";
    char* argv[] = {program.data(), name.data(), word.data()};
    const QStringList args = file_names::arguments(3, argv);
    EXPECT_TRUE(args[0].endsWith(QStringLiteral(" café.bmp")));
    handOver(args);
    EXPECT_TRUE(platform.errors.isEmpty());
    EXPECT_EQ(buffer().pixel(5, 5), fromQRgb(img.pixel(5, 5)));
    EXPECT_NE(::access(raw.constData(), F_OK), 0) << "deleted";
}

// Any bytes survive the way to a name and back; valid UTF-8 reads as Qt reads it.
TEST(FileNames, AnyBytesSurviveTheWayThereAndBack) {
    std::mt19937 rng(18);
    for (int i = 0; i < 2000; ++i) {
        QByteArray bytes(int(rng() % 12), '\0');
        for (char& c : bytes)
            c = char(rng() % 4 == 0 ? 0x80 + rng() % 0x80 : rng() % 0x100);
        ASSERT_EQ(file_names::encode(file_names::decode(bytes)), bytes) << bytes.toHex().data();
    }
    for (const char* text : {"", "a.bmp", "ビット.bmp", "\xf0\x9f\x98\x80.bmp"})
        EXPECT_EQ(file_names::decode(text), QString::fromUtf8(text)) << text;
    // Overlong forms and encoded surrogates are not UTF-8 and come back as they were.
    for (const char* text : {"\xc0\xaf", "\xed\xb2\x80", "\xf4\x90\x80\x80", "\xe3\x81"})
        EXPECT_EQ(file_names::encode(file_names::decode(text)), QByteArray(text)) << text;
}

TEST_F(Startup, ArgumentsThatNameNoBitmapAreIgnored) {
    drawing();
    const QImage before = buffer().image().copy(0, 0, 200, 150);
    const QImage img = pattern(20, 20, 4);
    const QString png = picture(QStringLiteral("pic.gif"), img);  // a bitmap by content only
    const QString txt = picture(QStringLiteral("pic.bmp.txt"), img);
    const QString plain = picture(QStringLiteral("picbmp"), img);
    QDir(dir.path()).mkdir(QStringLiteral("folder.bmp"));
    for (const QString& arg : {png, txt, plain, path(QStringLiteral("folder.bmp")),
                               path(QStringLiteral("missing.bmp")), QString()}) {
        handOver({arg, QStringLiteral("delete")});
        EXPECT_TRUE(th::sameImage(buffer().image().copy(0, 0, 200, 150), before))
            << arg.toStdString();
    }
    handOver({});
    EXPECT_TRUE(platform.errors.isEmpty());
    EXPECT_TRUE(QFile::exists(png));
    EXPECT_TRUE(QFile::exists(txt));
}

// A PNG named as one is taken as a bitmap is, its see-through pixels the key colour.
TEST_F(Startup, PngPictureIsHandedOverWithItsTransparency) {
    QImage img = pattern(20, 20, 6);
    img.setPixel(3, 4, TransparentKeyRgb);
    const QString p = path(QStringLiteral("pic.PNG"));
    ASSERT_EQ(picture_file::write(p, img), QString());
    handOver({p});
    EXPECT_TRUE(platform.errors.isEmpty());
    EXPECT_TRUE(th::sameImage(buffer().image().copy(0, 0, 20, 20), img));
}

TEST_F(Startup, InvalidFilesAreReportedAndChangeNothing) {
    drawing();
    const QImage buf = buffer().image().copy();
    const QImage shown = board.surface().image().copy();

    QByteArray valid;
    {
        const QString p = picture(QStringLiteral("valid.bmp"), pattern(64, 64, 5));
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        valid = f.readAll();
    }
    std::mt19937 rng(6);
    QByteArray garbage("BM");
    for (int i = 0; i < 500; ++i)
        garbage.append(char(rng()));
    const std::vector<std::pair<const char*, QByteArray>> files{
        {"text.bmp", QByteArray("this is not a picture\n")},
        {"empty.bmp", QByteArray()},
        {"truncated.bmp", valid.left(valid.size() / 2)},
        {"headeronly.bmp", valid.left(54)},
        {"garbage.bmp", garbage},
        {"huge.bmp", bmpHeaders(100000, 100000, 0)},
        {"wide.bmp", bmpHeaders(1 << 20, 1, 16)},
        {"tall.bmp", bmpHeaders(1, -(1 << 24), 16)},
        {"big.bmp", bmpHeaders(16000, 16000, 0)},  // 1 GB of pixels promised, none given
        {"zero.bmp", bmpHeaders(0, 10, 0)},
        {"negative.bmp", bmpHeaders(-5, 10, 64)},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        platform.errors.clear();
        const QString p = path(QString::fromLatin1(name));
        writeFile(p, bytes);
        handOver({p, QStringLiteral("delete")});
        EXPECT_EQ(platform.errors, QStringList{kInvalid});
        EXPECT_TRUE(th::sameImage(buffer().image(), buf));
        EXPECT_TRUE(th::sameImage(board.surface().image(), shown));
        EXPECT_TRUE(QFile::exists(p));  // not deleted when it could not be loaded
    }
}

TEST_F(Startup, TopDownBitmapLoadsUpright) {
    // 2 × 2, rows stored from the top: red, green / blue, white (BGR bytes, rows padded to 4).
    QByteArray pixels;
    pixels.append("\x00\x00\xff\x00\xff\x00\x00\x00", 8);
    pixels.append("\xff\x00\x00\xff\xff\xff\x00\x00", 8);
    const QString p = path(QStringLiteral("topdown.bmp"));
    writeFile(p, bmpHeaders(2, -2, 16) + pixels);
    handOver({p});
    ASSERT_TRUE(platform.errors.isEmpty()) << platform.errors.join(' ').toStdString();
    EXPECT_EQ(buffer().pixel(0, 0), 0x0000ffu);
    EXPECT_EQ(buffer().pixel(1, 0), 0x00ff00u);
    EXPECT_EQ(buffer().pixel(0, 1), 0xff0000u);
    EXPECT_EQ(buffer().pixel(1, 1), 0xffffffu);
}

TEST_F(Startup, RunLengthPictureEndingEarlyHasNoLeftoverPixels) {
    // 8 × 8 at 8 bits, run-length coded: two red pixels on the bottom row, then the end marker.
    // Every pixel the file never sets takes colour 0 of the palette.
    const QByteArray palette("\x1e\x14\x0a\x00\x00\x00\xff\x00", 8);  // (10,20,30), red
    const QString p = path(QStringLiteral("rle.bmp"));
    writeFile(p, bmpHeaders(8, 8, 4, 8, 1, palette) + QByteArray("\x02\x01\x00\x01", 4));
    handOver({p});
    ASSERT_TRUE(platform.errors.isEmpty());
    EXPECT_EQ(buffer().pixel(0, 7), 0x0000ffu);
    EXPECT_EQ(buffer().pixel(1, 7), 0x0000ffu);
    EXPECT_EQ(th::count(buffer(), 0x1e140a, QRect(0, 0, 8, 8)), 62);
}

TEST_F(Startup, PictureLargerThanTheBufferIsCutOff) {
    QImage wide(1700, 2, QImage::Format_RGB32);
    wide.fill(0xff00ff00u);
    wide.setPixel(1599, 1, 0xffff0000u);
    handOver({picture(QStringLiteral("wide.bmp"), wide)});
    ASSERT_TRUE(platform.errors.isEmpty());
    EXPECT_EQ(buffer().width(), 1600);
    EXPECT_EQ(buffer().height(), 1200);
    EXPECT_EQ(buffer().pixel(1599, 1), 0xffu);
    EXPECT_EQ(buffer().pixel(1599, 2), TransparentKey);
}
