#pragma once

#include <QByteArray>
#include <QImage>

#include <QMimeData>
#include <QStringList>

// Pictures offered on the clipboard by other programs, decoded with the same guards as bitmap
// files: a picture whose header asks for more than bitmap_file::kMaxSide pixels a side, or whose
// 32-bit picture would take more than Qt's allocation limit, is refused before its pixels are
// allocated, a bitmap whose rows stop early is refused, and every other format is decoded into a
// picture cleared first. Qt's own conversion of clipboard data to a picture decodes bitmaps cut
// short and leaves the rows it never read as they were in memory.
namespace clipboard_picture {

// What the board offers the clipboard: the picture as every image format Qt writes (the bitmap
// among them), with its PNG made apart, the key colour transparent, so that a program that takes
// transparency gets the drawing over whatever lies beneath there. The PNG is encoded only when a
// program asks for it.
class PictureOffer : public QMimeData {
public:
    explicit PictureOffer(const QImage& picture);
    const QImage& picture() const { return picture_; }
    QStringList formats() const override;

protected:
    QVariant retrieveData(const QString& type, QMetaType preferred) const override;

private:
    QImage picture_;
    mutable QByteArray png_;
};

// Image data in any format Qt reads, told by its content, as the board keeps it (Format_RGB32); a
// null image when it is none. Pixels less than half opaque become the key colour, as a PNG file's
// do, so that they stay see-through on the board, and the rest are made opaque.
QImage decode(const QByteArray& bytes);

// The picture the board itself put there, or the first picture among the clipboard's image
// formats; a null image when there is none.
QImage fromMimeData(const QMimeData& data);

}  // namespace clipboard_picture
