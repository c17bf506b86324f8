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
#include <cstdlib>
#include <optional>

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

// Where the pixel rows of an uncompressed bitmap end, counted from the start of its data: 0 for
// a run-length picture, which has no fixed length; nothing for a header no picture here can have.
std::optional<qint64> rowsEnd(QIODevice& file) {
    const QByteArray peeked = file.peek(34);
    if (peeked.size() < 26) return std::nullopt;
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
        if (peeked.size() < 34) return std::nullopt;
        width = qFromLittleEndian<qint32>(h.data() + 18);
        height = std::llabs(qFromLittleEndian<qint32>(h.data() + 22));
        bits = qFromLittleEndian<quint16>(h.data() + 28);
        compression = qFromLittleEndian<quint32>(h.data() + 30);
    }
    // Sizes and depths that no picture here can have are refused before any arithmetic.
    if (width <= 0 || width > kMaxSide || height > kMaxSide || bits <= 0 || bits > 32)
        return std::nullopt;
    constexpr quint32 kRle8 = 1, kRle4 = 2;
    if (compression == kRle8 || compression == kRle4) return 0;
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return offset + stride * height;
}

}  // namespace

// Opened without waiting (a named pipe would wait for a writer for ever) and read only when it
// is a plain file, checked on the file opened rather than on its name.
bool openPlainFile(const QString& path, QFile& file) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
// it (the file may be cut short or fail while it is read). A file that failed to read at any point
// is refused too, run-length pictures included.
ReadResult read(QIODevice& file) {
    if (QImageReader::imageFormat(&file) != "bmp") return {{}, invalidBitmapMessage()};
    const std::optional<qint64> end = rowsEnd(file);
    if (!end || file.size() < *end) return {{}, invalidBitmapMessage()};
    const qint64 start = file.pos();
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
    if (!reader.read(&image) || image.isNull() || file.pos() - start < *end)
        return {{}, invalidBitmapMessage()};
    if (auto* f = qobject_cast<QFileDevice*>(&file); f && f->error() != QFileDevice::NoError)
        return {{}, invalidBitmapMessage()};
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
