#pragma once

#include <QString>

// Real file-system faults for tests, made in a mount namespace of the test process's own, so
// nothing outside the process sees them: small tmpfs folders that are full or read-only, and
// files hidden under others.
namespace private_mounts {

// Moves the calling process into a new mount namespace whose mounts do not propagate back:
// as root directly where root may, otherwise inside a new user namespace that maps the caller
// to root. Must run before any thread is started. Returns an empty string, or why it could not
// be done.
QString enter();

// A tmpfs mounted on an existing empty folder for as long as this lives.
class Tmpfs {
public:
    // `sizeKb`: the file system's capacity.
    Tmpfs(const QString& folder, int sizeKb);
    ~Tmpfs();
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;

    // Empty when the mount worked, else why not.
    const QString& error() const { return error_; }
    // Takes every free block with a file of the given name; true once a write met ENOSPC.
    bool fill(const QString& fillerName);
    // Every later write is refused with EROFS; false when the remount failed.
    bool makeReadOnly();
    // Writable again, with what it held.
    bool makeWritable();

private:
    QString folder_;
    QString error_;
};

// Mounts `source` (a file or folder) over `target` (of the same kind); empty or why not.
QString bind(const QString& source, const QString& target);
// Unmounts whatever is mounted on `target`.
void unmount(const QString& target);

}  // namespace private_mounts
