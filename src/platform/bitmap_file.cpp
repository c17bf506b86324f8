#include "bitmap_file.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtEndian>
#include <cstdlib>

namespace bitmap_file {

namespace {

// An uncompressed bitmap must hold all the pixel rows its header announces. Qt's reader
// accepts a short file (allocating the whole picture first and leaving the missing rows
// undefined), so a truncated file is refused here, before anything is allocated.
bool pixelDataFits(QFile& file) {
    const QByteArray head = file.peek(34);
    if (head.size() < 34) return false;
    const auto* h = reinterpret_cast<const uchar*>(head.constData());
    const qint64 offset = qFromLittleEndian<quint32>(h + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(h + 14);
    qint64 width, height, bits;
    quint32 compression = 0;
    if (infoSize == 12) {  // OS/2 core header
        width = qFromLittleEndian<quint16>(h + 18);
        height = qFromLittleEndian<quint16>(h + 20);
        bits = qFromLittleEndian<quint16>(h + 24);
    } else {
        width = qFromLittleEndian<qint32>(h + 18);
        height = std::abs(qint64(qFromLittleEndian<qint32>(h + 22)));
        bits = qFromLittleEndian<quint16>(h + 28);
        compression = qFromLittleEndian<quint32>(h + 30);
    }
    const bool packed = compression == 0 || compression == 3 || compression == 6;
    if (!packed) return true;  // run-length data: its size says nothing about the picture's
    if (width > kMaxSide || height > kMaxSide) return false;
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return file.size() >= offset + stride * height;
}

}  // namespace

QString cannotOpenMessage(const QString& path) {
    return QStringLiteral("ファイル %1 は開けません").arg(path);
}

QString invalidBitmapMessage() {
    return QStringLiteral("ビットマップイメージが不正です");
}

QString cannotCreateMessage(const QString& path) {
    return QStringLiteral("ファイル %1 を作成できません").arg(path);
}

ReadResult read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{}, cannotOpenMessage(path)};
    if (QImageReader::imageFormat(&file) != "bmp" || !pixelDataFits(file))
        return {{}, invalidBitmapMessage()};
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxSide || size.height() > kMaxSide)
        return {{}, invalidBitmapMessage()};
    QImage image;
    if (!reader.read(&image) || image.isNull()) return {{}, invalidBitmapMessage()};
    return {image.convertToFormat(QImage::Format_RGB32), {}};
}

QString write(const QString& path, const QImage& image) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return cannotCreateMessage(path);
    QImageWriter writer(&file, "bmp");
    if (!writer.write(image.convertToFormat(QImage::Format_RGB888)) || !file.commit()) {
        file.cancelWriting();
        return cannotCreateMessage(path);
    }
    return {};
}

}  // namespace bitmap_file
