#include "platform/picture_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include "platform/colour.h"
#include "platform/save_file.h"

namespace picture_file {

namespace {
constexpr QRgb kKeyRgb = TransparentKeyRgb & 0x00ffffffu;

bool writeWith(QIODevice& device, const QImage& image, const char* format) {
    QImageWriter writer(&device, format);
    return writer.write(image);
}

QString writeFile(const QString& path, const QImage& image, const char* format) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return bitmap_file::cannotCreateMessage(path);
    if (!writeWith(file, image, format)) {
        file.cancelWriting();
        return bitmap_file::cannotCreateMessage(path);
    }
    return commitWhole(file) ? QString() : bitmap_file::cannotCreateMessage(path);
}
}  // namespace

bool isPngName(const QString& path) {
    return path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive);
}

QImage withKeyTransparent(const QImage& picture) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb rgb = row[x] & 0x00ffffffu;
            // The key colour keeps its colour under no alpha, so a reader that drops the alpha
            // channel still sees the key.
            row[x] = rgb == kKeyRgb ? rgb : (0xff000000u | rgb);
        }
    }
    return out;
}

QImage keyedFromAlpha(QImage picture) {
    if (!picture.hasAlphaChannel()) return std::move(picture).convertToFormat(QImage::Format_RGB32);
    picture = std::move(picture).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = row[x];
            row[x] = qAlpha(p) < 128 ? TransparentKeyRgb : (0xff000000u | p);
        }
    }
    // Every pixel is opaque now: the same bytes are the 32-bit picture, without a second copy.
    picture.reinterpretAsFormat(QImage::Format_RGB32);
    return picture;
}

QByteArray encodePng(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!writeWith(buffer, withKeyTransparent(picture), "png")) return {};
    return bytes;
}

bitmap_file::ReadResult readPng(QIODevice& device) {
    QImageReader reader(&device, "png");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    const QImage::Format format = reader.imageFormat();
    if (!size.isValid() || size.width() > bitmap_file::kMaxSide ||
        size.height() > bitmap_file::kMaxSide || format == QImage::Format_Invalid)
        return {{}, bitmap_file::invalidBitmapMessage()};
    const qint64 bytes =
        qint64(size.width()) * size.height() * QImage::toPixelFormat(format).bitsPerPixel() / 8;
    const int limitMb = QImageReader::allocationLimit();
    if (limitMb > 0 && bytes > qint64(limitMb) * 1024 * 1024)
        return {{}, bitmap_file::invalidBitmapMessage()};
    // Decoded into a cleared picture of the reader's own size and format: rows a damaged file
    // never reaches are no leftovers of memory.
    QImage image(size, format);
    if (image.isNull()) return {{}, bitmap_file::invalidBitmapMessage()};
    image.fill(0);
    if (!reader.read(&image) || image.isNull()) return {{}, bitmap_file::invalidBitmapMessage()};
    return {keyedFromAlpha(image), {}};
}

bitmap_file::ReadResult read(const QString& path) {
    QFile file;
    if (!bitmap_file::openPlainFile(path, file)) return {{}, bitmap_file::cannotOpenMessage(path)};
    if (QImageReader::imageFormat(&file) == "png") return readPng(file);
    return bitmap_file::read(file);
}

QString write(const QString& path, const QImage& image) {
    if (!isPngName(path)) return bitmap_file::write(path, image);
    return writeFile(path, withKeyTransparent(image), "png");
}

QString writeOpaque(const QString& path, const QImage& image) {
    if (!isPngName(path)) return bitmap_file::write(path, image);
    return writeFile(path, image.convertToFormat(QImage::Format_RGB32), "png");
}

}  // namespace picture_file
