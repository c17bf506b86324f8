#include "picture/startup.h"

#include <QFileInfo>

#include "picture/board_model.h"
#include "platform/bitmap_file.h"
#include "platform/file_names.h"
#include "platform/picture_file.h"
#include "platform/platform.h"

namespace startup {

// Only a file counts: a folder (or anything else) of that name is no settings file, and the
// board keeps its designed start state as it does without one.
bool shouldLoadSettings(const QString& startDir, const QStringList& args) {
    if (!QFileInfo(startDir + QStringLiteral("/config.ini")).isFile()) return false;
    return args.isEmpty() || args[0].toLower() != QStringLiteral("default");
}

bool handOverPicture(BoardModel& model, const QStringList& args, Platform& platform) {
    if (args.isEmpty()) return false;
    const QString& path = args[0];
    // The name may hold bytes that are not UTF-8: it goes to the system as it came.
    if (!file_names::isFile(path)) return false;
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return false;
    const QString extension = name.mid(dot).toLower();
    if (extension != QStringLiteral(".bmp") && extension != QStringLiteral(".png")) return false;

    const bitmap_file::ReadResult loaded = picture_file::read(path);
    if (!loaded.ok()) {
        platform.showError(loaded.error);
        return false;
    }
    // The picture becomes the committed one from the top-left corner, cut off at the store's
    // size, and the rest of the store the key colour. Done in place: sizing the store to the
    // picture and back would allocate and fill two more pictures of either size.
    Canvas& buffer = model.stores.buffer();
    const QSize store = model.stores.storeSize();
    buffer.setSize(store.width(), store.height());
    buffer.fillRect(buffer.rect());
    Canvas picture;
    picture.imageForWrite() = loaded.image;
    buffer.copyRect(picture, picture.rect());
    Canvas& surface = model.surface();
    surface.fillRect(surface.rect());
    model.lfb();
    if (args.size() < 2 || args[1].toLower() != QStringLiteral("delete")) return false;
    file_names::remove(path);
    return true;
}

}  // namespace startup
