#include "private_mounts.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace private_mounts {

namespace {

QString lastError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

bool writeProcFile(const char* path, const QByteArray& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.constData(), text.size()) == text.size();
    ::close(fd);
    return ok;
}

}  // namespace

QString enter() {
    QString why;
    // Root without the right to make mounts (a container, say) may still own a user namespace.
    if (geteuid() == 0 && unshare(CLONE_NEWNS) != 0) why = lastError("unshare(CLONE_NEWNS)");
    if (geteuid() != 0 || !why.isEmpty()) {
        // An ordinary user may own a user namespace, and be root over the mounts made in it.
        const uid_t uid = geteuid();
        const gid_t gid = getegid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return why + (why.isEmpty() ? "" : "; ") +
                   lastError("unshare(CLONE_NEWUSER | CLONE_NEWNS)");
        if (!writeProcFile("/proc/self/setgroups", "deny") ||
            !writeProcFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1") ||
            !writeProcFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1"))
            return lastError("mapping the user into the new user namespace");
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return lastError("making the mounts private");
    return {};
}

Tmpfs::Tmpfs(const QString& folder, int sizeKb) : folder_(folder) {
    const QByteArray options = "size=" + QByteArray::number(sizeKb) + "k,mode=0755";
    if (mount("velmo-fault", QFile::encodeName(folder_).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
              options.constData()) != 0)
        error_ = lastError("mounting a tmpfs");
}

Tmpfs::~Tmpfs() {
    if (error_.isEmpty()) unmount(folder_);
}

bool Tmpfs::fill(const QString& fillerName) {
    const int fd = ::open(QFile::encodeName(folder_ + QLatin1Char('/') + fillerName).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    static const char block[4096] = {};
    // Whole blocks first, then single bytes into whatever is left of the last one.
    for (qsizetype size = sizeof block; size > 0; size = size > 1 ? size / 2 : 0)
        while (::write(fd, block, size) == size) {
        }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

bool Tmpfs::makeReadOnly() {
    return mount(nullptr, QFile::encodeName(folder_).constData(), nullptr,
                 MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

bool Tmpfs::makeWritable() {
    return mount(nullptr, QFile::encodeName(folder_).constData(), nullptr,
                 MS_REMOUNT | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

QString bind(const QString& source, const QString& target) {
    if (mount(QFile::encodeName(source).constData(), QFile::encodeName(target).constData(), nullptr,
              MS_BIND, nullptr) != 0)
        return lastError("bind mount");
    return {};
}

void unmount(const QString& target) {
    umount2(QFile::encodeName(target).constData(), MNT_DETACH);
}

}  // namespace private_mounts
