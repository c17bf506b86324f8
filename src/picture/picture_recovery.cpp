#include "picture/picture_recovery.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <utility>

#include "picture/board_model.h"
#include "platform/bitmap_file.h"
#include "platform/file_lock.h"
#include "platform/platform.h"

namespace {
// The start time in the name keeps a later process with a reused id apart from a dead one. Two
// recoveries made within one millisecond of one process still get names of their own.
QString instanceName() {
    static qint64 last = 0;
    last = std::max(last + 1, QDateTime::currentMSecsSinceEpoch());
    return QStringLiteral("recovery-%1-%2").arg(QCoreApplication::applicationPid()).arg(last);
}

QString lockPathOf(const QString& picturePath) {
    return picturePath.chopped(4) + QStringLiteral(".lock");
}
}  // namespace

PictureRecovery::PictureRecovery(const QString& folder, Platform& platform,
                                 std::function<QImage()> committed)
    : folder_(folder), platform_(platform), committed_(std::move(committed)) {
    picturePath_ = folder_ + QLatin1Char('/') + instanceName() + QStringLiteral(".bmp");
    lock_ = std::make_unique<FileLock>(lockPathOf(picturePath_));
    QObject::connect(&timer_, &QTimer::timeout, [this] { period(); });
    acquire();
}

bool PictureRecovery::acquire() {
    if (!usable_ && QDir().mkpath(folder_))
        usable_ = lock_->tryLock(true) == FileLock::Result::Held;
    return usable_;
}

PictureRecovery::~PictureRecovery() {
    timer_.stop();
    reported_ = true;  // no error box while the board closes
    finishWrite();
    if (usable_) {
        QFile::remove(picturePath_);
        lock_->removeAndUnlock();
    }
    // An orphan not yet replaced by a save of this instance stays for the next start.
}

// A board that ended with nothing to keep (killed, or ended by a signal before any change)
// leaves its lock file without a picture; it is of no use to anyone once no one holds it.
void PictureRecovery::removeLeftLocks() {
    const QDir dir(folder_);
    for (const QFileInfo& info :
         dir.entryInfoList({QStringLiteral("recovery-*.lock")}, QDir::Files)) {
        const QString path = info.absoluteFilePath();
        const QString picture = path.chopped(5) + QStringLiteral(".bmp");
        if (path == QFileInfo(lock_->path()).absoluteFilePath() || QFile::exists(picture)) continue;
        FileLock left(path);
        if (left.tryLock(false) == FileLock::Result::Held && !QFile::exists(picture))
            left.removeAndUnlock();
    }
}

QImage PictureRecovery::takeOrphan() {
    removeLeftLocks();
    const QDir dir(folder_);
    const QFileInfoList pictures = dir.entryInfoList({QStringLiteral("recovery-*.bmp")},
                                                     QDir::Files, QDir::Time);  // newest first
    for (const QFileInfo& info : pictures) {
        const QString path = info.absoluteFilePath();
        if (path == QFileInfo(picturePath_).absoluteFilePath()) continue;
        auto lock = std::make_unique<FileLock>(lockPathOf(path));
        // A lock file is made before its picture and removed after it: a picture without one
        // has no running instance (in a folder that cannot be written, none can be made either).
        const FileLock::Result locked = lock->tryLock(true);
        if (locked != FileLock::Result::Held && locked != FileLock::Result::Missing)
            continue;  // its instance still runs, or another start took it
        const bitmap_file::ReadResult picture = bitmap_file::read(path);
        if (!picture.ok()) continue;  // the lock is released; the file is left as it is
        orphanPicture_ = path;
        orphanLock_ = std::move(lock);
        forceNext_ = true;
        return picture.image;
    }
    return {};
}

void PictureRecovery::releaseOrphan() {
    orphanLock_.reset();  // unlocked; the picture and its lock file stay
    orphanPicture_.clear();
    forceNext_ = false;
}

void PictureRecovery::start(int periodMs) {
    // What the board shows at start is not a change, unless it came from an orphan: that one
    // is saved at once, so the orphan can go.
    if (!forceNext_) {
        writtenKey_ = committed_().cacheKey();
        known_ = true;
    }
    timer_.start(periodMs);
}

bool PictureRecovery::changedSinceWritten(const QImage& committed, bool force) const {
    return force || !known_ || committed.cacheKey() != writtenKey_;
}

void PictureRecovery::period() {
    if (write_.valid()) {
        if (write_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
        takeResult(write_.get());
    }
    const bool force = std::exchange(forceNext_, false);
    const bool changed = changedSinceWritten(committed_(), force);
    if (!acquire()) {
        // Said only once there is something to keep.
        if (!reported_ && changed)
            takeResult({false, bitmap_file::cannotCreateMessage(picturePath_)});
        if (force) known_ = false;  // still to be written once the folder can be used
        return;
    }
    if (!changed) return;
    // The worker gets a copy of its own: the board goes on drawing into its picture meanwhile.
    const QImage committed = committed_();
    const qint64 key = committed.cacheKey();
    write_ = std::async(std::launch::async, [this, picture = committed.copy(), key]() -> Result {
        const QString error = bitmap_file::write(picturePath_, picture);
        if (!error.isEmpty()) return {false, error};
        return {true, {}, key};
    });
}

void PictureRecovery::finishWrite() {
    if (write_.valid()) takeResult(write_.get());
}

void PictureRecovery::writeNow() {
    timer_.stop();
    reported_ = true;  // the board is ending: no box
    finishWrite();
    if (!acquire()) return;
    const QImage picture = committed_();
    if (!changedSinceWritten(picture, std::exchange(forceNext_, false))) return;
    if (!bitmap_file::write(picturePath_, picture).isEmpty()) return;
    takeResult({true, {}, picture.cacheKey()});
}

void PictureRecovery::takeResult(const Result& result) {
    if (result.wrote) {
        writtenKey_ = result.key;
        known_ = true;
    }
    if (result.wrote && !saved_) {
        saved_ = true;
        if (orphanLock_) {
            QFile::remove(orphanPicture_);
            orphanLock_->removeAndUnlock();
            orphanLock_.reset();
        }
    }
    // The box may run the event loop and with it the next period: mark the report first.
    if (!result.error.isEmpty() && !reported_) {
        reported_ = true;
        platform_.showError(result.error);
    }
}

void showRecoveredPicture(BoardModel& model, const QImage& picture) {
    Canvas& buffer = model.stores.buffer();
    const QRect area = picture.rect().intersected(buffer.rect());
    buffer.addDamage(
        blockCopy(picture.convertToFormat(QImage::Format_RGB32), buffer.imageForWrite(), area));
    Canvas& surface = model.surface();
    surface.fillRect(surface.rect());
    model.lfb();
}
