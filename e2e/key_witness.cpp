// Another X client for the end-to-end tests: a plain window that says which keys and focus
// changes reach it, so that a test can tell where the keyboard goes.
//
//   key_witness X Y WIDTH HEIGHT
//
// It maps a window of that geometry (asking a window manager for exactly that place) and prints
// one line on its standard output for each event, flushed at once:
//   ready WINDOW        the window is mapped (its id in decimal)
//   press KEYCODE       a key went down while the window had the keyboard
//   release KEYCODE     a key went up
//   focus-in / focus-out

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : XCB_NONE;
}

void say(const char* what, unsigned value = 0, bool withValue = false) {
    if (withValue)
        std::printf("%s %u\n", what, value);
    else
        std::printf("%s\n", what);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const auto width = static_cast<std::uint16_t>(std::atoi(argv[3]));
    const auto height = static_cast<std::uint16_t>(std::atoi(argv[4]));

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t values[] = {0x00808080u,  // a grey background
                                    XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                        XCB_EVENT_MASK_FOCUS_CHANGE |
                                        XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), width, height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    const char title[] = "key witness";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof title - 1, title);
    // WM_NORMAL_HINTS: the place and size are the user's (USPosition, USSize), so a window
    // manager keeps them.
    std::uint32_t sizeHints[18] = {};
    sizeHints[0] = 1u | 2u;
    sizeHints[1] = static_cast<std::uint32_t>(x);
    sizeHints[2] = static_cast<std::uint32_t>(y);
    sizeHints[3] = width;
    sizeHints[4] = height;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, sizeHints);
    // WM_HINTS: the window takes the keyboard when given it (InputHint, input true).
    const std::uint32_t wmHints[9] = {1u, 1u, 0, 0, 0, 0, 0, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        9, wmHints);
    const xcb_atom_t deleteWindow = intern(c, "WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "WM_PROTOCOLS"), XCB_ATOM_ATOM,
                        32, 1, &deleteWindow);
    xcb_map_window(c, window);
    xcb_flush(c);

    while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
        switch (e->response_type & 0x7f) {
            case XCB_MAP_NOTIFY:
                say("ready", window, true);
                break;
            case XCB_KEY_PRESS:
                say("press", reinterpret_cast<xcb_key_press_event_t*>(e)->detail, true);
                break;
            case XCB_KEY_RELEASE:
                say("release", reinterpret_cast<xcb_key_release_event_t*>(e)->detail, true);
                break;
            case XCB_FOCUS_IN:
                say("focus-in");
                break;
            case XCB_FOCUS_OUT:
                say("focus-out");
                break;
            default:
                break;
        }
        std::free(e);
    }
    xcb_disconnect(c);
    return 0;
}
