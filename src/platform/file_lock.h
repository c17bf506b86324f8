#pragma once

#include <QString>
#include <utility>

// An advisory lock (flock) on a file, held through an open descriptor: the kernel lets it go
// when its process ends, however it ends, so a lock that can be taken belongs to no running
// process. A process id written into the file would not tell that (ids are reused, also by
// another board after a reboot).
class FileLock {
public:
    explicit FileLock(QString path) : path_(std::move(path)) {}
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    enum class Result { Held, Taken, Missing, Failed };
    // Takes the lock without waiting. `create`: make the file when it is missing. Where the file
    // cannot be opened for writing (a read-only or full folder), it is locked read-only.
    // Held: this object holds it; Taken: another process (or another FileLock) holds it;
    // Missing: the file is not there (and was not to be made); Failed: it could not be opened.
    Result tryLock(bool create);
    bool held() const { return fd_ >= 0; }
    // Removes the file while still holding the lock, then lets the lock go.
    void removeAndUnlock();
    void unlock();
    const QString& path() const { return path_; }

private:
    QString path_;
    int fd_ = -1;
};
