#pragma once

// Whether a pointer position the X server reports is where the pointer really is.
//
// On an ordinary X server it always is. Under XWayland the server hears of the pointer only while
// the compositor shows it over one of the server's own windows: elsewhere (over a native Wayland
// window, or a see-through part the compositor passes on) the server's position stays where the
// pointer left its windows, and a reading taken there is stale. The server then reports the
// pointer over its bare root window.
class PointerPresence {
public:
    // `frozenOutside`: positions freeze while the pointer is away (XWayland).
    explicit PointerPresence(bool frozenOutside = false) : frozenOutside_(frozenOutside) {}

    bool frozenOutside() const { return frozenOutside_; }
    // Whether a reading is real, given whether the server had the pointer over one of its
    // windows when it was taken.
    bool real(bool overXWindow) const { return !frozenOutside_ || overXWindow; }
    // Whether the pointer leaving the window breaks what follows it: under XWayland the next
    // reading may already be back inside, with the way between unknown.
    bool leavingBreaksTheWay() const { return frozenOutside_; }

private:
    bool frozenOutside_;
};
