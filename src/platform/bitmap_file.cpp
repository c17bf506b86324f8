#include "bitmap_file.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstdlib>

#include "save_file.h"

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

// Whether the pixel rows of an uncompressed bitmap are all in the file. Qt's reader accepts a
// file whose rows stop early and leaves the rows it never read as they were in memory.
// Run-length pictures have no fixed length and pass here.
bool rowsComplete(QIODevice& file) {
    const QByteArray peeked = file.peek(34);
    if (peeked.size() < 26) return false;
    std::array<char, 34> h{};
    std::copy(peeked.begin(), peeked.end(), h.begin());
    const qint64 offset = qFromLittleEndian<quint32>(h.data() + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(h.data() + 14);
    qint64 width = 0, height = 0, bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        width = qFromLittleEndian<quint16>(h.data() + 18);
        height = qFromLittleEndian<quint16>(h.data() + 20);
        bits = qFromLittleEndian<quint16>(h.data() + 24);
    } else {
        if (peeked.size() < 34) return false;
        width = qFromLittleEndian<qint32>(h.data() + 18);
        height = std::llabs(qFromLittleEndian<qint32>(h.data() + 22));
        bits = qFromLittleEndian<quint16>(h.data() + 28);
        compression = qFromLittleEndian<quint32>(h.data() + 30);
    }
    // Sizes and depths that no picture here can have are refused before any arithmetic.
    if (width <= 0 || width > kMaxSide || height > kMaxSide || bits <= 0 || bits > 32) return false;
    constexpr quint32 kRle8 = 1, kRle4 = 2;
    if (compression == kRle8 || compression == kRle4) return true;
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return file.size() >= offset + stride * height;
}

}  // namespace

ReadResult read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{}, cannotOpenMessage(path)};
    return read(file);
}

ReadResult read(QIODevice& file) {
    if (QImageReader::imageFormat(&file) != "bmp" || !rowsComplete(file))
        return {{}, invalidBitmapMessage()};
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    // A bitmap stored from the top row down reports a negative height.
    QSize size = reader.size();
    size.setHeight(std::abs(size.height()));
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide)
        return {{}, invalidBitmapMessage()};
    // Decode into a cleared picture, so that pixels the file leaves unset (the skips of a
    // run-length picture) are colour 0 rather than leftovers. The reader fills an image of its
    // own size and format in place; the allocation limit is checked here as the reader would.
    const QImage::Format format = reader.imageFormat();
    const qint64 bytes =
        qint64(size.width()) * size.height() * QImage::toPixelFormat(format).bitsPerPixel() / 8;
    const int limitMb = QImageReader::allocationLimit();
    if (limitMb > 0 && bytes > qint64(limitMb) * 1024 * 1024) return {{}, invalidBitmapMessage()};
    QImage image(size, format);
    if (image.isNull()) return {{}, invalidBitmapMessage()};
    image.fill(0);
    if (!reader.read(&image) || image.isNull()) return {{}, invalidBitmapMessage()};
    return {image.convertToFormat(QImage::Format_RGB32), {}};
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
