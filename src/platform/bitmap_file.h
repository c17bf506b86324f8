#pragma once

#include <QFile>
#include <QIODevice>
#include <QImage>
#include <QString>
#include <optional>

// Windows bitmap (.bmp) files. Reading refuses anything that is not a valid bitmap (a file cut
// short included), and a header that asks for an absurd size is refused before any pixel memory
// is allocated.
// Writing goes to a new file that replaces the old one only once it is complete, so a failed
// save never destroys an existing picture.
namespace bitmap_file {

// The largest picture accepted, in pixels per side.
inline constexpr int kMaxSide = 16384;

struct ReadResult {
    QImage image;   // Format_RGB32 on success
    QString error;  // the message for the error box; empty on success
    bool ok() const { return error.isEmpty(); }
};

ReadResult read(const QString& path);
// Opens a plain file for reading without waiting (a named pipe would wait for a writer for
// ever); false for anything else or when it cannot be opened.
bool openPlainFile(const QString& path, QFile& file);
// The same for bitmap data from elsewhere (the clipboard), read from the device's position.
ReadResult read(QIODevice& device);

// Returns the error box message, or an empty string on success.
QString write(const QString& path, const QImage& image);

QString cannotOpenMessage(const QString& path);  // "ファイル %s は開けません"
QString invalidBitmapMessage();                  // "ビットマップイメージが不正です"
QString cannotCreateMessage(const QString& path);  // "ファイル %s を作成できません"

}  // namespace bitmap_file
