// Clipboard pictures: another program offers image data in any format Qt can read (told by its
// content, every image format of the installed plug-ins), which the board decodes with its
// guards, pastes as a stamp and places.
#include <QImage>
#include <QImageReader>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "platform/clipboard_picture.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QImage picture = clipboard_picture::decode(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (picture.isNull()) return 0;
    // The board's own 32-bit picture, within the allocation limit.
    if (picture.format() != QImage::Format_RGB32) std::abort();
    if (qint64(picture.width()) * picture.height() * 4 >
        qint64(QImageReader::allocationLimit()) * 1024 * 1024)
        std::abort();
    static fuzz::Board board;
    board.platform.clipboard = picture;
    board.edit.pasteFromClipboard();
    board.stampAndUndo();
    return 0;
}
