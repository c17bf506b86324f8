#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

// The window that was active when a modal box or dialog opened: the box's parent, and the
// window that gets the activation back once the box is gone. A window manager returns the
// focus to the owner of a closing transient window by itself; without one the X server drops
// the keyboard focus on the root window, and the board would no longer hear Shift and Ctrl.
class ModalOwner {
public:
    ModalOwner() : owner_(QApplication::activeWindow()) {}
    ~ModalOwner() {
        if (owner_) owner_->activateWindow();
    }
    ModalOwner(const ModalOwner&) = delete;
    ModalOwner& operator=(const ModalOwner&) = delete;

    QWidget* widget() const { return owner_; }

private:
    QPointer<QWidget> owner_;
};
