#include "bitmap_file.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdlib>

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

ReadResult read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{}, cannotOpenMessage(path)};
    if (QImageReader::imageFormat(&file) != "bmp") return {{}, invalidBitmapMessage()};
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    // A bitmap stored from the top row down reports a negative height.
    QSize size = reader.size();
    size.setHeight(std::abs(size.height()));
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
