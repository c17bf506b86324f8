#include "platform/x11_info.h"

#include <QGuiApplication>
#include <cstdlib>
#include <string>
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xcb/xcb.h>

namespace x11 {
namespace {

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

}  // namespace

bool isX11() {
    return connection() != nullptr;
}

bool compositorRunning() {
    xcb_connection_t* c = connection();
    if (!c) return false;
    const int screen = 0;
    const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    if (!atom) return false;
    const xcb_atom_t a = atom->atom;
    std::free(atom);
    if (a == XCB_ATOM_NONE) return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, a), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}

std::optional<QMargins> frameExtents(unsigned long window) {
    xcb_connection_t* c = connection();
    if (!c || window == 0) return std::nullopt;
    static const char kName[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr);
    if (!atom) return std::nullopt;
    const xcb_atom_t a = atom->atom;
    std::free(atom);
    if (a == XCB_ATOM_NONE) return std::nullopt;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, static_cast<xcb_window_t>(window), a, XCB_ATOM_CARDINAL, 0, 4),
        nullptr);
    std::optional<QMargins> out;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        // left, right, top, bottom
        out = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
    }
    std::free(reply);
    return out;
}

KeyRepeat keyRepeat() {
    KeyRepeat out;
    xcb_connection_t* c = connection();
    if (!c) return out;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_xkb_id);
    if (!ext || !ext->present) return out;
    xcb_xkb_use_extension_reply_t* use = xcb_xkb_use_extension_reply(
        c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr);
    const bool ok = use && use->supported;
    std::free(use);
    if (!ok) return out;
    xcb_xkb_get_controls_reply_t* controls =
        xcb_xkb_get_controls_reply(c, xcb_xkb_get_controls(c, XCB_XKB_ID_USE_CORE_KBD), nullptr);
    if (controls) {
        out.on = (controls->enabledControls & XCB_XKB_BOOL_CTRL_REPEAT_KEYS) != 0;
        if (controls->repeatDelay > 0) out.delayMs = controls->repeatDelay;
        if (controls->repeatInterval > 0) out.intervalMs = controls->repeatInterval;
        std::free(controls);
    }
    return out;
}

bool pointerInWindow(unsigned window, int& x, int& y) {
    xcb_connection_t* c = connection();
    if (!c) return false;
    xcb_query_pointer_reply_t* p =
        xcb_query_pointer_reply(c, xcb_query_pointer(c, window), nullptr);
    const bool ok = p && p->same_screen;
    if (ok) {
        x = p->win_x;
        y = p->win_y;
    }
    std::free(p);
    return ok;
}

}  // namespace x11
