#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>

#include "platform/bitmap_file.h"

// Picture files of either kind the board reads and writes: Windows bitmaps, whose see-through
// parts are the key colour, and PNG, whose see-through parts are transparent pixels. The key
// colour and full transparency stand for each other: a PNG is written with the key colour fully
// transparent and every other pixel opaque; on reading, a pixel less than half opaque becomes
// the key colour and every other pixel takes its colour opaque.
namespace picture_file {

// Whether a name asks for a PNG (".png" in any case); every other name is written as a bitmap.
bool isPngName(const QString& path);

// A bitmap or a PNG, told by its content. The errors are the bitmap's messages.
bitmap_file::ReadResult read(const QString& path);
// PNG data from the device's position, with the same guards on size as bitmaps.
bitmap_file::ReadResult readPng(QIODevice& device);

// The picture as a bitmap, or as a PNG with the key colour transparent when the name asks for
// one. Returns the error box message, or an empty string on success.
QString write(const QString& path, const QImage& image);
// The picture as it is, in the kind the name asks for: no pixel is made transparent.
QString writeOpaque(const QString& path, const QImage& image);

// The alpha rules themselves.
QImage withKeyTransparent(const QImage& picture);  // ARGB32
QImage keyedFromAlpha(QImage picture);             // RGB32
// The picture as PNG bytes with the key colour transparent.
QByteArray encodePng(const QImage& picture);

}  // namespace picture_file
