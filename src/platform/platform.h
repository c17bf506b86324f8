#pragma once

#include <QPoint>
#include <QString>

#include "colour.h"

// Everything the board asks of the outside world that a test must be able to answer: the
// global cursor, and (as the commands arrive) dialogs, message boxes, the clipboard and
// processes. The real implementation uses Qt; tests install a scripted one.
class Platform {
public:
    virtual ~Platform() = default;
    // The global cursor position in screen coordinates.
    virtual QPoint cursorPos() = 0;
    // The application's error box (OK only); returns once the user has closed it.
    virtual void showError(const QString& message) = 0;
    // The colour chooser, opened on `initial`; false when the user cancels.
    virtual bool chooseColour(TColor initial, TColor& chosen) = 0;
};

// The implementation over Qt and the desktop.
class QtPlatform : public Platform {
public:
    QPoint cursorPos() override;
    void showError(const QString& message) override;
    bool chooseColour(TColor initial, TColor& chosen) override;
};
