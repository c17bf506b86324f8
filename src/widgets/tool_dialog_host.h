#pragma once

class QWidget;

// What a tool dialog needs of the window that opens it: a place on the window's screen, and to
// hand the window back its input when the dialog closes. Each dialog extends this with the few
// things it does to the board.
class ToolDialogHost {
public:
    virtual ~ToolDialogHost() = default;
    // Puts the dialog's frame in the middle of the screen the window is on.
    virtual void centre(QWidget& dialog) = 0;
    // The dialog has closed: the window takes input again and comes to the front.
    virtual void closed() = 0;
};
