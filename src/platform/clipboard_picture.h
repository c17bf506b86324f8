#pragma once

#include <QByteArray>
#include <QImage>

class QMimeData;

// Pictures offered on the clipboard by other programs, decoded with the same guards as bitmap
// files: a picture whose header asks for more than bitmap_file::kMaxSide pixels a side, or whose
// 32-bit picture would take more than Qt's allocation limit, is refused before its pixels are
// allocated, a bitmap whose rows stop early is refused, and every other format is decoded into a
// picture cleared first. Qt's own conversion of clipboard data to a picture decodes bitmaps cut
// short and leaves the rows it never read as they were in memory.
namespace clipboard_picture {

// The picture as the board keeps it (Format_RGB32): pixels less than half opaque become the key
// colour, so that they stay see-through on the board, and the rest are made opaque.
QImage toBoardPicture(QImage image);

// Image data in any format Qt reads, told by its content, as the board keeps it; a null image
// when it is none.
QImage decode(const QByteArray& bytes);

// The first picture among the clipboard's image formats, or the picture the board itself put
// there; a null image when there is none.
QImage fromMimeData(const QMimeData& data);

}  // namespace clipboard_picture
