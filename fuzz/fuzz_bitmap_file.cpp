// Bitmap files as the open command, paste from file and the command-line picture read them: the
// bytes become a file, which is read, handed over as the start-up picture and pasted as a stamp.
#include <QDir>
#include <QFile>
#include <QHashFunctions>
#include <QImageReader>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "picture/startup.h"
#include "platform/bitmap_file.h"

namespace {
QString path;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startQt(argc, argv);
    path = fuzz::scratchFolder() +
           QStringLiteral("/velmo-fuzz-%1.bmp").arg(QCoreApplication::applicationPid());
    std::atexit([] { QFile::remove(path); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const bitmap_file::ReadResult result = bitmap_file::read(path);
    if (result.ok()) {
        if (result.image.format() != QImage::Format_RGB32) std::abort();
        if (result.image.width() > bitmap_file::kMaxSide ||
            result.image.height() > bitmap_file::kMaxSide)
            std::abort();
        if (qint64(result.image.width()) * result.image.height() * 4 >
            qint64(QImageReader::allocationLimit()) * 1024 * 1024)
            std::abort();
    }
    // The whole way of a picture through the board, for small pictures and one input in 64:
    // the start-up hand-over reallocates the committed picture, which costs more than the
    // reading. Chosen by the input's bytes, so that a finding replays.
    const bool small = qint64(result.image.width()) * result.image.height() <= 256 * 256;
    if (result.ok() && small && qHashBits(data, size) % 64 == 0) {
        static fuzz::Board board;
        startup::handOverPicture(board.board.model, {path}, board.platform);
        board.openDialog.fileName = path;
        board.edit.PasteFromFile();
        board.stampAndUndo();
    }
    return 0;
}
