#include "platform/save_file.h"

#include <unistd.h>

#include <cerrno>

bool commitWhole(QSaveFile& file) {
    // A file system that cannot sync (EINVAL) keeps nothing back that a sync would report.
    const bool written =
        file.flush() && (::fsync(file.handle()) == 0 || errno == EINVAL) && file.commit();
    if (!written) file.cancelWriting();
    return written;
}
