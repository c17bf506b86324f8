#include "platform/bitmap_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <optional>

#include "platform/file_names.h"
#include "platform/save_file.h"

namespace bitmap_file {

QString cannotOpenMessage(const QString& path) {
    return QStringLiteral("ファイル %1 は開けません").arg(path);
}

QString invalidBitmapMessage() {
    return QStringLiteral("ビットマップイメージが不正です");
}

QString cannotCreateMessage(const QString& path) {
    return QStringLiteral("ファイル %1 を作成できません").arg(path);
}

namespace {

constexpr quint32 kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

// What the reader needs of a bitmap's headers before its pixels are decoded.
struct Layout {
    qint64 offset = 0;  // where the pixel data starts, from the start of the file
    qint64 width = 0, height = 0, bits = 0;
    quint32 compression = kRgb;
    std::array<quint32, 3> masks{};  // red, green, blue of a 16- or 32-bit picture; 0 if none
};

// The headers at the device's position; nothing for a header no picture here can have.
std::optional<Layout> layoutOf(QIODevice& file) {
    const QByteArray peeked = file.peek(66);
    if (peeked.size() < 26) return std::nullopt;
    std::array<char, 66> h{};
    std::copy(peeked.begin(), peeked.end(), h.begin());
    Layout l;
    l.offset = qFromLittleEndian<quint32>(h.data() + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(h.data() + 14);
    if (headerSize == 12) {
        l.width = qFromLittleEndian<quint16>(h.data() + 18);
        l.height = qFromLittleEndian<quint16>(h.data() + 20);
        l.bits = qFromLittleEndian<quint16>(h.data() + 24);
    } else {
        if (peeked.size() < 34) return std::nullopt;
        l.width = qFromLittleEndian<qint32>(h.data() + 18);
        l.height = std::llabs(qFromLittleEndian<qint32>(h.data() + 22));
        l.bits = qFromLittleEndian<quint16>(h.data() + 28);
        l.compression = qFromLittleEndian<quint32>(h.data() + 30);
    }
    // Sizes and depths that no picture here can have are refused before any arithmetic.
    if (l.width <= 0 || l.width > kMaxSide || l.height > kMaxSide || l.bits <= 0 || l.bits > 32)
        return std::nullopt;
    // The masks follow the 40-byte header, or are its last fields in the longer ones.
    if (l.compression == kBitfields && headerSize >= 40 && peeked.size() >= 66)
        for (int i = 0; i < 3; ++i)
            l.masks[i] = qFromLittleEndian<quint32>(h.data() + 54 + 4 * i);
    else if (l.bits == 16 && l.compression == kRgb)
        l.masks = {0x7c00, 0x03e0, 0x001f};
    return l;
}

bool runLength(const Layout& l) {
    return l.compression == kRle8 || l.compression == kRle4;
}

// Where the pixel rows of an uncompressed bitmap end, counted from the start of its data.
qint64 rowsEnd(const Layout& l) {
    const qint64 stride = (l.width * l.bits + 31) / 32 * 4;
    return l.offset + stride * l.height;
}

// Whether the run-length data from the layout's offset reaches its end-of-picture code, or the
// end of its last row, within `data`. A file cut short stops before either.
bool runLengthComplete(const Layout& l, const QByteArray& data) {
    const qint64 size = data.size();
    const auto* d = reinterpret_cast<const quint8*>(data.constData());
    qint64 at = l.offset, row = 0;
    while (at + 1 < size) {
        const int count = d[at], code = d[at + 1];
        at += 2;
        if (count > 0) continue;  // a run of one colour
        if (code == 0) {          // end of a row
            if (++row >= l.height) return true;
        } else if (code == 1) {  // end of the picture
            return true;
        } else if (code == 2) {  // a jump right and down
            if (at + 1 >= size) return false;
            row += d[at + 1];
            at += 2;
            if (row >= l.height) return true;
        } else {  // `code` pixels as they are, padded to an even count of bytes
            const qint64 bytes = l.compression == kRle8 ? code : (code + 1) / 2;
            at += (bytes + 1) / 2 * 2;
        }
    }
    return false;
}

// Qt widens a channel of fewer than 8 bits by a shift, so a 5-bit 31 becomes 248 rather than
// 255: white would open grey. Each such channel is spread over the full range again.
void widenNarrowChannels(const Layout& l, QImage& image) {
    std::array<std::array<quint8, 256>, 3> table{};
    bool any = false;
    for (int c = 0; c < 3; ++c) {
        const int width = std::popcount(l.masks[c]);
        for (int v = 0; v < 256; ++v)
            table[c][v] = quint8(v);
        if (width == 0 || width >= 8) continue;
        any = true;
        const int top = (1 << width) - 1;
        for (int v = 0; v < 256; ++v)
            table[c][v] = quint8(((v >> (8 - width)) * 255 + top / 2) / top);
    }
    if (!any) return;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgba(table[0][qRed(p)], table[1][qGreen(p)], table[2][qBlue(p)], qAlpha(p));
        }
    }
}

}  // namespace

// Opened without waiting (a named pipe would wait for a writer for ever) and read only when it
// is a plain file, checked on the file opened rather than on its name.
bool openPlainFile(const QString& path, QFile& file) {
    const int fd = ::open(file_names::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info = {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

ReadResult read(const QString& path) {
    QFile file;
    if (!openPlainFile(path, file)) return {{}, cannotOpenMessage(path)};
    return read(file);
}

// Qt's reader accepts a bitmap whose rows stop early, and leaves the rows it never read as they
// were in memory: the rows must all be in the file before the read, and all have been read after
// it (the file may be cut short or fail while it is read). A run-length picture must reach its end
// within the file. A file that failed to read at any point is refused too.
ReadResult read(QIODevice& file) {
    if (QImageReader::imageFormat(&file) != "bmp") return {{}, invalidBitmapMessage()};
    const std::optional<Layout> layout = layoutOf(file);
    if (!layout) return {{}, invalidBitmapMessage()};
    const qint64 end = runLength(*layout) ? 0 : rowsEnd(*layout);
    if (file.size() < end) return {{}, invalidBitmapMessage()};
    if (runLength(*layout) && !runLengthComplete(*layout, file.peek(file.size() - file.pos())))
        return {{}, invalidBitmapMessage()};
    const qint64 start = file.pos();
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    // A bitmap stored from the top row down reports a negative height.
    QSize size = reader.size();
    size.setHeight(std::abs(size.height()));
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide)
        return {{}, invalidBitmapMessage()};
    // The allocation limit holds for the 32-bit picture the board keeps, whatever the depth of
    // the file: a few bytes of run-length data can ask for a picture of any size.
    const int limitMb = QImageReader::allocationLimit();
    if (limitMb > 0 && qint64(size.width()) * size.height() * 4 > qint64(limitMb) * 1024 * 1024)
        return {{}, invalidBitmapMessage()};
    // Decode into a cleared picture, so that pixels the file leaves unset (the skips of a
    // run-length picture) are colour 0 rather than leftovers. The reader fills an image of its
    // own size and format in place.
    QImage image(size, reader.imageFormat());
    if (image.isNull()) return {{}, invalidBitmapMessage()};
    image.fill(0);
    if (!reader.read(&image) || image.isNull() || file.pos() - start < end)
        return {{}, invalidBitmapMessage()};
    if (auto* f = qobject_cast<QFileDevice*>(&file); f && f->error() != QFileDevice::NoError)
        return {{}, invalidBitmapMessage()};
    image = std::move(image).convertToFormat(QImage::Format_RGB32);
    widenNarrowChannels(*layout, image);
    return {image, {}};
}

QString write(const QString& path, const QImage& image) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return cannotCreateMessage(path);
    QImageWriter writer(&file, "bmp");
    if (!writer.write(image.convertToFormat(QImage::Format_RGB888))) {
        file.cancelWriting();
        return cannotCreateMessage(path);
    }
    return commitWhole(file) ? QString() : cannotCreateMessage(path);
}

}  // namespace bitmap_file
