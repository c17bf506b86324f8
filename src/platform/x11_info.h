#pragma once

// Facts about the X display the board runs on.
namespace x11 {

// True when the application runs on X11 (directly or through XWayland).
bool isX11();

// True when a compositing manager owns _NET_WM_CM_S<screen>.
bool compositorRunning();

struct KeyRepeat {
    int delayMs = 660;    // X server default
    int intervalMs = 40;  // 25 repeats a second
};

// The display's key auto-repeat delay and interval (XKB controls), or X's defaults.
KeyRepeat keyRepeat();

}  // namespace x11
