#pragma once

#include <QPoint>
#include <string_view>
#include <vector>

// Whether the board's X display is XWayland, the X server a Wayland compositor runs for X
// programs, and where that server has the pointer. There each top-level X window is a surface of
// its own on the compositor's screen, and the server learns where the pointer is only while the
// pointer is over one of its surfaces: elsewhere its position stays where the pointer left them.
namespace x11 {

// True when the X server is XWayland: it announces XWayland's own extension (servers from 23.1
// on), or names its screens' outputs as XWayland does ("XWAYLAND0", ...). A few round trips, at
// start-up.
bool isXWayland();

// The naming rule alone, on RandR output names.
bool namesAreXWayland(const std::vector<std::string_view>& outputNames);

struct PointerReading {
    QPoint root;               // in device pixels
    bool overXWindow = false;  // the pointer is over a top-level X window, not the bare root
};

// The pointer as the X server has it: one round trip. Under XWayland the bare root stands for
// everything that is not an X window, so a reading off every X window is a stale one.
PointerReading queryPointer();

}  // namespace x11
