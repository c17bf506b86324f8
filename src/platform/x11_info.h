#pragma once

#include <QMargins>
#include <optional>

// Facts about the X display the board runs on.
namespace x11 {

// True when the application runs on X11 (directly or through XWayland).
bool isX11();

// True when a compositing manager owns _NET_WM_CM_S<screen>.
bool compositorRunning();

struct KeyRepeat {
    bool on = true;       // whether keys repeat at all
    int delayMs = 660;    // X server default
    int intervalMs = 40;  // 25 repeats a second
};

// The display's key auto-repeat (XKB controls): whether the user lets keys repeat at all (`xset r
// off` turns it off), the delay and the interval; X's defaults where the display does not say.
// The per-key repeat mask is not consulted: it leaves out the modifier keys by default, and those
// are the keys the board repeats itself. One round trip.
KeyRepeat keyRepeat();

// The frame a window manager has put around a top-level window, as it states in
// _NET_FRAME_EXTENTS; none before it has framed the window, without a manager that states it, or
// off X11. One round trip. Qt's own idea of the frame is measured once and may be taken while the
// manager is still building the frame.
std::optional<QMargins> frameExtents(unsigned long window);
// The pointer relative to the window, in device pixels; false when not on X11 or the pointer is
// on another X screen.
bool pointerInWindow(unsigned window, int& x, int& y);

}  // namespace x11
