#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include "platform/colour.h"

class QWindow;

// What one picture file dialog remembers between uses: the file name last chosen through it.
// The owner keeps one per dialog, so every command that runs the same dialog shares it.
struct PictureDialogState {
    QString fileName;
};

// A font as the font chooser hands it over: face, size and style, and the colour to write in.
struct FontChoice {
    QFont font;
    TColor colour = 0;
};

// Outcome of a clipboard request.
enum class ClipboardStatus {
    Ok,
    NoBitmap,    // reading only: the clipboard holds no picture
    CannotOpen,  // no clipboard is available, or it did not take the picture
};

// Everything the board asks of the outside world that a test must be able to answer: the
// global cursor, dialogs, message boxes, the clipboard and (as the commands arrive) processes.
// The real implementation uses Qt; tests install a scripted one.
class Platform {
public:
    virtual ~Platform() = default;
    // The global cursor position in screen coordinates.
    virtual QPoint cursorPos() = 0;
    // The pointer relative to a native window, in device pixels, where the platform can say
    // exactly (on X11: one round trip); false elsewhere, and the caller works from cursorPos.
    virtual bool pointerInWindow(quintptr /*window*/, QPoint& /*at*/) { return false; }
    // Takes the whole keyboard for a window of this program (`take`), or lets go of it: while
    // taken, every key goes to this program whichever window has the focus. False when the
    // window system refused (another program holds the keyboard, the window is not shown);
    // letting go always succeeds.
    virtual bool grabKeyboard(QWindow& /*window*/, bool take) { return !take; }
    // The application's error box (OK only); returns once the user has closed it.
    virtual void showError(const QString& message) = 0;
    // The colour chooser, opened on `initial`; false when the user cancels.
    virtual bool chooseColour(TColor initial, TColor& chosen) = 0;
    // A question box with OK and Cancel; true for OK. Closing the box counts as Cancel.
    virtual bool confirm(const QString& message) = 0;

    // The picture on the clipboard; `image` is set only when the result is Ok.
    virtual ClipboardStatus readClipboardImage(QImage& image) = 0;
    // Replaces whatever the clipboard holds with one picture. Ok or CannotOpen.
    virtual ClipboardStatus writeClipboardImage(const QImage& image) = 0;

    // The picture open and save dialogs: Windows bitmap files first and by default, PNG as a
    // second file type, the shown type's extension appended to a name typed without one, a
    // scaled-down preview of the selected picture. Each starts from the file name in `dialog` and
    // stores the chosen name there. False when cancelled. The save dialog asks before overwriting
    // an existing file.
    virtual bool runOpenDialog(PictureDialogState& dialog) = 0;
    virtual bool runSaveDialog(PictureDialogState& dialog) = 0;

    // The help window over an HTML help page, scrolled to the topic's anchor ("topic1", ...).
    // It does not wait for the user; a help window already open is reused. False when the page
    // cannot be read.
    virtual bool showHelp(const QString& page, int topic) = 0;
    // Starts a program with its arguments (no shell) in a working folder, with this process's
    // environment, and does not wait for it. False when it could not be started.
    virtual bool startProcess(const QString& program, const QStringList& arguments,
                              const QString& workingDirectory) = 0;
    // The font chooser with a colour field, opened on `choice`; on confirmation `choice` takes
    // the chosen font and colour. False when the user cancels, leaving `choice` as it was.
    virtual bool chooseFont(FontChoice& choice) = 0;
    // The folder that keeps the recovery file of the picture; empty for none (tests).
    virtual QString recoveryFolder() { return {}; }
};

// The implementation over Qt and the desktop.
class QtPlatform : public Platform {
public:
    QPoint cursorPos() override;
    bool pointerInWindow(quintptr window, QPoint& at) override;
    bool grabKeyboard(QWindow& window, bool take) override;
    void showError(const QString& message) override;
    bool chooseColour(TColor initial, TColor& chosen) override;
    bool confirm(const QString& message) override;
    ClipboardStatus readClipboardImage(QImage& image) override;
    ClipboardStatus writeClipboardImage(const QImage& image) override;
    bool runOpenDialog(PictureDialogState& dialog) override;
    bool runSaveDialog(PictureDialogState& dialog) override;
    bool showHelp(const QString& page, int topic) override;
    bool startProcess(const QString& program, const QStringList& arguments,
                      const QString& workingDirectory) override;
    bool chooseFont(FontChoice& choice) override;
    QString recoveryFolder() override;
};
