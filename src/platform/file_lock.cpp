#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

FileLock::Result FileLock::tryLock(bool create) {
    if (held()) return Result::Held;
    const QByteArray name = QFile::encodeName(path_);
    int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd < 0 && errno != ENOENT) fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? Result::Missing : Result::Failed;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Result::Taken;
    }
    // The holder before may have removed the file between our open and our lock: then the lock
    // is on a file no one else will open, and the name is someone else's (or no one's) now.
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) != 0 || ::stat(name.constData(), &named) != 0 ||
        opened.st_ino != named.st_ino || opened.st_dev != named.st_dev) {
        ::close(fd);
        return Result::Taken;
    }
    fd_ = fd;
    return Result::Held;
}

void FileLock::removeAndUnlock() {
    if (!held()) return;
    ::unlink(QFile::encodeName(path_).constData());
    unlock();
}

void FileLock::unlock() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}
