// Clipboard pictures: another program offers image data in any format Qt can read, which the
// clipboard turns into a picture the way it does for the paste (decoding by content, every image
// format of the installed plug-ins), and the board pastes it as a stamp and places it.
#include <QImage>
#include <cstdint>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QImage picture = QImage::fromData(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (picture.isNull()) return 0;
    static fuzz::Board board;
    board.platform.clipboard = picture;
    board.edit.pasteFromClipboard();
    board.stampAndUndo();
    return 0;
}
