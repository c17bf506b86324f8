#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <functional>
#include <future>
#include <memory>

class FileLock;
class Platform;

// Keeps the committed picture of this instance in a recovery file, so that a crash, a kill or a
// logout does not lose it. Every period it looks whether the committed picture was written to
// since it was last saved (its cache key: every write to a QImage goes through a detaching
// access, which changes the key); only then does it copy the picture, and a worker thread writes
// the copy atomically (a complete new file replaces the old one). An idle board costs no copy, and
// no second picture is kept to compare with. The frame tick never waits for it.
//
// Files, in the state folder: "recovery-<pid>-<start>.bmp", the picture, and the same name with
// ".lock", flock-ed while the instance runs (see FileLock). A picture whose lock can be taken, or
// that has no lock file, belongs to an instance that is no longer running. A normal exit removes
// both files. A folder that cannot be made or written is tried again every period.
class PictureRecovery {
public:
    static constexpr int kPeriodMs = 3000;

    // `committed` returns the whole committed picture, shared rather than copied; it runs on the
    // UI thread, and every write to that picture happens on the UI thread between two calls.
    PictureRecovery(const QString& folder, Platform& platform, std::function<QImage()> committed);
    ~PictureRecovery();

    QString picturePath() const { return picturePath_; }

    // The newest picture of an instance that is no longer running, or a null image. The file
    // is kept (and its lock held, so no other instance takes it too) until this instance's own
    // first save, and removed then. Reading needs no writable folder.
    QImage takeOrphan();
    // The board shows another picture after all (one named on the command line): the orphan
    // is left for a later start.
    void releaseOrphan();

    // The picture shown at start exists nowhere else (it was taken over from a file that is gone
    // now): the first period writes it as a change. Call after releaseOrphan().
    void markChanged() { forceNext_ = true; }

    // Starts the periodic saves.
    void start(int periodMs = kPeriodMs);
    // One period: finishes the last write if it is done, and starts the next one if none is
    // under way. Never waits for a write.
    void period();
    // Waits for the write under way and takes its result (tests and exit).
    void finishWrite();
    // Writes the committed picture now, if it changed, and waits for it: the board is about to
    // end other than by its normal exit (a termination signal, a lost display), so its files
    // stay for the next start. Shows no box.
    void writeNow();

private:
    struct Result {
        bool wrote = false;
        QString error;
        qint64 key = 0;  // the committed picture's cache key when the copy written was taken
    };
    // Whether the committed picture may differ from the one last written.
    bool changedSinceWritten(const QImage& committed, bool force) const;
    void takeResult(const Result& result);
    // Makes the folder and takes this instance's lock, unless done; true once both are.
    bool acquire();
    void removeLeftLocks();

    QString folder_;
    QString picturePath_;
    Platform& platform_;
    std::function<QImage()> committed_;
    std::unique_ptr<FileLock> lock_;
    bool usable_ = false;     // the folder exists and this instance holds its lock
    bool reported_ = false;   // a failure was shown; later ones are not
    bool saved_ = false;      // this instance has written its picture once
    bool forceNext_ = false;  // write even an unchanged picture (after taking an orphan)
    bool known_ = false;      // writtenKey_ names the picture in the file (or shown at start)
    qint64 writtenKey_ = 0;   // the committed picture's cache key when last written
    std::future<Result> write_;
    QString orphanPicture_;
    std::unique_ptr<FileLock> orphanLock_;  // not held where the orphan has no lock file
    QTimer timer_;
};

class BoardModel;

// Puts a recovered picture into the committed picture at the board's top-left corner and shows
// it, as a picture handed over on the command line is.
void showRecoveredPicture(BoardModel& model, const QImage& picture);
