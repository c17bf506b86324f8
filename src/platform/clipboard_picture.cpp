#include "platform/clipboard_picture.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <algorithm>

#include "platform/bitmap_file.h"
#include "platform/picture_file.h"

namespace clipboard_picture {

namespace {
// The board keeps a pasted picture at 32 bits a pixel, and the decoder may first make one of its
// own format: both count against the limit, whichever is larger.
bool sizeAccepted(QSize size, QImage::Format format) {
    if (!size.isValid() || size.width() > bitmap_file::kMaxSide ||
        size.height() > bitmap_file::kMaxSide)
        return false;
    const int bits = format == QImage::Format_Invalid
                         ? 32
                         : std::max(32, int(QImage::toPixelFormat(format).bitsPerPixel()));
    const qint64 bytes = qint64(size.width()) * size.height() * bits / 8;
    const int limitMb = QImageReader::allocationLimit();
    return limitMb <= 0 || bytes <= qint64(limitMb) * 1024 * 1024;
}
}  // namespace

QImage decode(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    const QByteArray format = QImageReader::imageFormat(&buffer);
    if (format.isEmpty()) return {};
    if (format == "bmp") {
        const bitmap_file::ReadResult read = bitmap_file::read(buffer);
        return read.ok() ? read.image : QImage();
    }
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    const QImage::Format pixels = reader.imageFormat();
    if (size.isValid() && pixels != QImage::Format_Invalid) {
        if (!sizeAccepted(size, pixels)) return {};
        // The reader fills a picture of its own size and format in place.
        QImage image(size, pixels);
        if (image.isNull()) return {};
        image.fill(0);
        if (!reader.read(&image) || image.isNull()) return {};
        return picture_file::keyedFromAlpha(std::move(image));
    }
    // A format that tells its size only by decoding: Qt's allocation limit holds for that.
    QImage image = reader.read();
    if (image.isNull() || !sizeAccepted(image.size(), QImage::Format_Invalid)) return {};
    return picture_file::keyedFromAlpha(std::move(image));
}

namespace {
const QString kPng = QStringLiteral("image/png");
}

PictureOffer::PictureOffer(const QImage& picture) : picture_(picture) {
    setImageData(picture);
}

QStringList PictureOffer::formats() const {
    QStringList types = QMimeData::formats();
    if (!types.contains(kPng)) types << kPng;
    return types;
}

QVariant PictureOffer::retrieveData(const QString& type, QMetaType preferred) const {
    if (type != kPng) return QMimeData::retrieveData(type, preferred);
    if (png_.isEmpty()) png_ = picture_file::encodePng(picture_);
    return png_;
}

QImage fromMimeData(const QMimeData& data) {
    if (const auto* own = dynamic_cast<const PictureOffer*>(&data)) return own->picture();
    bool encoded = false;
    for (const QString& type : data.formats()) {
        if (!type.startsWith(QLatin1String("image/"))) continue;
        encoded = true;
        QImage picture = decode(data.data(type));
        if (!picture.isNull()) return picture;
    }
    // The board's own copy lives in the process as a picture, not as encoded data. Data from
    // another program is never handed to Qt's unguarded conversion.
    if (encoded || !data.formats().contains(QLatin1String("application/x-qt-image"))) return {};
    QImage picture = qvariant_cast<QImage>(data.imageData());
    if (picture.isNull() || !sizeAccepted(picture.size(), QImage::Format_Invalid)) return {};
    return picture_file::keyedFromAlpha(std::move(picture));
}

}  // namespace clipboard_picture
