#pragma once

#include <QImage>
#include <QLockFile>
#include <QString>
#include <QTimer>
#include <functional>
#include <future>
#include <memory>

class Platform;

// Keeps the committed picture of this instance in a recovery file, so that a crash, a kill or a
// logout does not lose it. Every period the window hands over a copy of the committed picture;
// a worker thread compares it with the picture last written and, when it changed, writes it
// atomically (a complete new file replaces the old one). The frame tick never waits for it.
//
// Files, in the state folder: "recovery-<pid>.bmp", the picture, and "recovery-<pid>.lock",
// locked while the instance runs. A picture whose lock can be taken belongs to an instance that
// is no longer running. A normal exit removes both files.
class PictureRecovery {
public:
    static constexpr int kPeriodMs = 3000;

    // `committed` returns a copy of the committed picture; it runs on the UI thread.
    PictureRecovery(const QString& folder, Platform& platform, std::function<QImage()> committed);
    ~PictureRecovery();

    QString picturePath() const { return picturePath_; }

    // The newest picture of an instance that is no longer running, or a null image. The file
    // is kept (and its lock held, so no other instance takes it too) until this instance's own
    // first save, and removed then.
    QImage takeOrphan();
    // The board shows another picture after all (one named on the command line): the orphan
    // is left for a later start.
    void releaseOrphan();

    // Starts the periodic saves.
    void start(int periodMs = kPeriodMs);
    // One period: finishes the last write if it is done, and starts the next one if none is
    // under way. Never waits for a write.
    void period();
    // Waits for the write under way and takes its result (tests and exit).
    void finishWrite();

private:
    struct Result {
        bool wrote = false;
        QString error;
    };
    void takeResult(const Result& result);

    QString folder_;
    QString picturePath_;
    Platform& platform_;
    std::function<QImage()> committed_;
    std::unique_ptr<QLockFile> lock_;
    bool usable_ = false;     // the folder exists and this instance holds its lock
    bool reported_ = false;   // a failure was shown; later ones are not
    bool saved_ = false;      // this instance has written its picture once
    bool forceNext_ = false;  // write even an unchanged picture (after taking an orphan)
    QImage lastWritten_;      // read and written only by the write under way
    std::future<Result> write_;
    QString orphanPicture_;
    std::unique_ptr<QLockFile> orphanLock_;
    QTimer timer_;
};

class BoardModel;

// Puts a recovered picture into the committed picture at the board's top-left corner and shows
// it, as a picture handed over on the command line is.
void showRecoveredPicture(BoardModel& model, const QImage& picture);
