// A clipboard owner for the end-to-end tests that misbehaves on cue.
//
//   clip_owner MODE TARGET FILE [PADDING]
//
// It takes the CLIPBOARD selection, prints "ready" on its standard output and answers requests
// for TARGETS and for TARGET with the bytes of FILE followed by PADDING zero bytes (made up on
// the fly, so an enormous offer costs nothing here). Data larger than one chunk goes out through
// the incremental (INCR) protocol. MODE is one of
//   serve             answer every request until killed or until another client takes over;
//   die-mid-transfer  start an incremental transfer, send its first chunk and exit at once;
//   silent            own the selection and never answer;
//   slow              answer as serve does, but always incrementally, 1 KB a chunk, each chunk
//                     4 s after it was asked for: alive, but slower than any paste should wait.
// xclip can do none of the last two, and none of it with an endless offer.

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kChunk = 64 * 1024;
constexpr std::uint32_t kSlowChunk = 1024;
constexpr auto kSlowDelay = std::chrono::seconds(4);

enum class Mode { Serve, DieMidTransfer, Silent, Slow };

struct Offer {
    std::vector<char> head;  // the file
    std::uint64_t size = 0;  // the file and the padding

    // Bytes [offset, offset + count) of the offer.
    std::vector<char> slice(std::uint64_t offset, std::uint32_t count) const {
        std::vector<char> out(count, 0);
        if (offset < head.size()) {
            const auto n = std::min<std::uint64_t>(count, head.size() - offset);
            std::copy_n(head.begin() + static_cast<std::ptrdiff_t>(offset), n, out.begin());
        }
        return out;
    }
};

// One incremental transfer under way: the requestor's window and property, and how far it got.
struct Transfer {
    xcb_window_t requestor = XCB_NONE;
    xcb_atom_t property = XCB_NONE;
    xcb_atom_t type = XCB_NONE;
    std::uint64_t sent = 0;
};

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : XCB_NONE;
}

void notify(xcb_connection_t* c, const xcb_selection_request_event_t& request,
            xcb_atom_t property) {
    xcb_selection_notify_event_t event{};
    event.response_type = XCB_SELECTION_NOTIFY;
    event.time = request.time;
    event.requestor = request.requestor;
    event.selection = request.selection;
    event.target = request.target;
    event.property = property;
    xcb_send_event(c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
}

// Makes sure the server has handled everything sent so far.
void sync(xcb_connection_t* c) {
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s serve|die-mid-transfer|silent|slow TARGET FILE [PADDING]\n",
                     argv[0]);
        return 2;
    }
    const std::string modeName = argv[1];
    Mode mode;
    if (modeName == "serve")
        mode = Mode::Serve;
    else if (modeName == "die-mid-transfer")
        mode = Mode::DieMidTransfer;
    else if (modeName == "silent")
        mode = Mode::Silent;
    else if (modeName == "slow")
        mode = Mode::Slow;
    else {
        std::fprintf(stderr, "unknown mode %s\n", argv[1]);
        return 2;
    }
    Offer offer;
    {
        std::ifstream in(argv[3], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[3]);
            return 2;
        }
        offer.head.assign(std::istreambuf_iterator<char>(in), {});
    }
    offer.size = offer.head.size() + (argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 0);

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "cannot connect to the display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    const xcb_atom_t clipboard = intern(c, "CLIPBOARD");
    const xcb_atom_t targets = intern(c, "TARGETS");
    const xcb_atom_t incr = intern(c, "INCR");
    const xcb_atom_t target = intern(c, argv[2]);

    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr),
        &std::free);
    if (!owner || owner->owner != window) {
        std::fprintf(stderr, "cannot take the clipboard\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    Transfer transfer;
    const std::uint32_t chunk = mode == Mode::Slow ? kSlowChunk : kChunk;
    // The next chunk of the transfer under way.
    auto sendChunk = [&] {
        const auto count =
            std::uint32_t(std::min<std::uint64_t>(chunk, offer.size - transfer.sent));
        const std::vector<char> bytes = offer.slice(transfer.sent, count);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, transfer.requestor, transfer.property,
                            transfer.type, 8, count, bytes.data());
        transfer.sent += count;
        if (mode == Mode::DieMidTransfer) {
            sync(c);
            std::printf("died after %llu bytes\n", static_cast<unsigned long long>(transfer.sent));
            std::fflush(stdout);
            std::_Exit(3);
        }
        if (count == 0) {  // the empty chunk ends the transfer
            const std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
            xcb_change_window_attributes(c, transfer.requestor, XCB_CW_EVENT_MASK, &none);
            transfer = {};
        }
        xcb_flush(c);
    };
    // When the slow owner sends its next chunk; none while nothing was asked for.
    std::optional<std::chrono::steady_clock::time_point> due;
    for (;;) {
        xcb_generic_event_t* event = xcb_poll_for_event(c);
        if (!event) {
            if (xcb_connection_has_error(c)) break;
            int timeout = -1;
            if (due)
                timeout = int(
                    std::max<std::int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  *due - std::chrono::steady_clock::now())
                                                  .count()));
            pollfd socket{xcb_get_file_descriptor(c), POLLIN, 0};
            if (poll(&socket, 1, timeout) == 0 && due) {
                due.reset();
                if (transfer.requestor != XCB_NONE) sendChunk();
            }
            continue;
        }
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> hold(event, &std::free);
        const int type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_CLEAR) return 0;
        if (type == XCB_SELECTION_REQUEST && mode != Mode::Silent) {
            const auto& request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
            const xcb_atom_t property =
                request.property == XCB_NONE ? request.target : request.property;
            if (request.target == targets) {
                const xcb_atom_t offered[] = {targets, target};
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                    XCB_ATOM_ATOM, 32, 2, offered);
                notify(c, request, property);
            } else if (request.target == target) {
                // A new request abandons a transfer its requestor gave up on.
                due.reset();
                if (offer.size <= kChunk && mode == Mode::Serve) {
                    const std::vector<char> bytes = offer.slice(0, std::uint32_t(offer.size));
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                        target, 8, std::uint32_t(bytes.size()), bytes.data());
                } else {
                    // The requestor deletes the INCR property to ask for each chunk.
                    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(c, request.requestor, XCB_CW_EVENT_MASK, &mask);
                    // The announced size is only a lower bound: the file's own, so that the
                    // requestor learns of any padding only as it arrives.
                    const std::uint32_t announced =
                        std::uint32_t(std::min<std::uint64_t>(offer.head.size(), 0xffffffffu));
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request.requestor, property, incr,
                                        32, 1, &announced);
                    transfer = {request.requestor, property, target, 0};
                }
                notify(c, request, property);
            } else {
                notify(c, request, XCB_NONE);
            }
            xcb_flush(c);
        } else if (type == XCB_PROPERTY_NOTIFY && transfer.requestor != XCB_NONE) {
            const auto& change = *reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (change.window != transfer.requestor || change.atom != transfer.property ||
                change.state != XCB_PROPERTY_DELETE)
                continue;
            if (mode == Mode::Slow)
                due = std::chrono::steady_clock::now() + kSlowDelay;
            else
                sendChunk();
        }
    }
    return 0;
}
