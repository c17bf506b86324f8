#include "platform/x11_selection.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace x11 {
namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// How often a wait looks whether the owner is still there.
constexpr int kOwnerCheckMs = 50;

}  // namespace

struct SelectionReader::Property {
    std::uint32_t type = 0;
    QByteArray bytes;
};

SelectionReader::SelectionReader(Limits limits) : limits_(std::move(limits)) {
    clock_.start();
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_)) return;
    selection_ = atom("CLIPBOARD");
    property_ = atom("VELMO_SELECTION");
    incr_ = atom("INCR");
    if (!selection_ || !property_ || !incr_) return;
    if (!xcb_setup_roots_iterator(xcb_get_setup(connection_)).data) return;
    renewWindow();
    Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, selection_), nullptr));
    if (owner) owner_ = owner->owner;
}

SelectionReader::~SelectionReader() {
    // The window goes with the connection; an owner still sending finds it gone.
    xcb_disconnect(connection_);
}

// The window the owner writes to. A transfer given up on leaves its owner writing there, so the
// next request gets a window of its own.
void SelectionReader::renewWindow() {
    if (window_) xcb_destroy_window(connection_, window_);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &mask);
    abandoned_ = false;
}

std::uint32_t SelectionReader::atom(const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::uint16_t(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : 0;
}

bool SelectionReader::ownerStillThere() {
    Reply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, selection_), nullptr));
    return owner && owner->owner == owner_;
}

// The first event that `matches`, to be freed by the caller; null once the owner is gone, the
// connection broke, or no such event came within the answer time or before the transfer's end.
// Other events are dropped.
template <typename Matches>
void* SelectionReader::waitFor(Matches matches) {
    const qint64 end = std::min(clock_.elapsed() + limits_.answerMs, transferEnd_);
    auto next = [&](bool read) -> xcb_generic_event_t* {
        while (xcb_generic_event_t* event = read ? xcb_poll_for_event(connection_)
                                                 : xcb_poll_for_queued_event(connection_)) {
            if (matches(event)) return event;
            std::free(event);
        }
        return nullptr;
    };
    for (;;) {
        if (xcb_generic_event_t* event = next(true)) return event;
        if (xcb_connection_has_error(connection_)) return nullptr;
        const qint64 left = end - clock_.elapsed();
        if (left <= 0 || !ownerStillThere()) return nullptr;
        // The round trip may have brought events in with its reply.
        if (xcb_generic_event_t* event = next(false)) return event;
        const int fd = xcb_get_file_descriptor(connection_);
        const int ms = int(std::min<qint64>(left, kOwnerCheckMs));
        if (limits_.idle) {
            limits_.idle(fd, ms);
        } else {
            pollfd socket{fd, POLLIN, 0};
            poll(&socket, 1, ms);
        }
    }
}

SelectionReader::Result SelectionReader::request(std::uint32_t target) {
    if (abandoned_) renewWindow();
    xcb_delete_property(connection_, window_, property_);
    xcb_convert_selection(connection_, window_, selection_, target, property_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    Reply<xcb_selection_notify_event_t> notify(
        static_cast<xcb_selection_notify_event_t*>(waitFor([this](xcb_generic_event_t* event) {
            return (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY &&
                   reinterpret_cast<xcb_selection_notify_event_t*>(event)->requestor == window_;
        })));
    if (!notify) return Result::Failed;
    return notify->property == XCB_NONE ? Result::Refused : Result::Ok;
}

// Reads the whole property, deleting it when `remove` is set; a property larger than the
// transfer limit is not read.
SelectionReader::Result SelectionReader::readProperty(Property& out, bool remove) {
    Reply<xcb_get_property_reply_t> size(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr));
    if (!size || size->type == XCB_NONE) return Result::Failed;
    if (std::int64_t(size->bytes_after) > limits_.maxBytes) {
        xcb_delete_property(connection_, window_, property_);
        return Result::TooLarge;
    }
    Reply<xcb_get_property_reply_t> whole(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, remove, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0,
                         (size->bytes_after + 3) / 4),
        nullptr));
    if (!whole) return Result::Failed;
    out.type = whole->type;
    const int length = xcb_get_property_value_length(whole.get());
    out.bytes = QByteArray(static_cast<const char*>(xcb_get_property_value(whole.get())), length);
    return Result::Ok;
}

SelectionReader::Result SelectionReader::readIncrementally(std::uint32_t announced,
                                                           QByteArray& data) {
    // The announced size is a lower bound: a transfer that says it is too large is refused
    // without being read.
    if (std::int64_t(announced) > limits_.maxBytes) return Result::TooLarge;
    data.clear();
    for (;;) {
        Reply<xcb_generic_event_t> chunk(
            static_cast<xcb_generic_event_t*>(waitFor([this](xcb_generic_event_t* event) {
                if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
                const auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
                return change->window == window_ && change->atom == property_ &&
                       change->state == XCB_PROPERTY_NEW_VALUE;
            })));
        if (!chunk) return Result::Failed;
        Property part;
        const Result read = readProperty(part, true);  // the deletion asks for the next chunk
        if (read != Result::Ok) return read;
        if (part.bytes.isEmpty()) return Result::Ok;  // the empty chunk ends the transfer
        if (data.size() + part.bytes.size() > limits_.maxBytes) return Result::TooLarge;
        data.append(part.bytes);
    }
}

SelectionReader::Result SelectionReader::targets(QStringList& names) {
    names.clear();
    if (!ready()) return Result::Failed;
    transferEnd_ = clock_.elapsed() + limits_.transferMs;
    const Result asked = request(atom("TARGETS"));
    if (asked != Result::Ok) return asked;
    Property list;
    const Result read = readProperty(list, true);
    if (read != Result::Ok) return read;
    // The list's type is not checked (owners differ in it): only its atoms count.
    const auto* atoms = reinterpret_cast<const xcb_atom_t*>(list.bytes.constData());
    const qsizetype count = list.bytes.size() / qsizetype(sizeof(xcb_atom_t));
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    for (qsizetype i = 0; i < count; ++i)
        cookies.push_back(xcb_get_atom_name(connection_, atoms[i]));
    for (const xcb_get_atom_name_cookie_t& cookie : cookies) {
        Reply<xcb_get_atom_name_reply_t> name(
            xcb_get_atom_name_reply(connection_, cookie, nullptr));
        if (!name) continue;
        names << QString::fromLatin1(xcb_get_atom_name_name(name.get()),
                                     xcb_get_atom_name_name_length(name.get()));
    }
    return Result::Ok;
}

SelectionReader::Result SelectionReader::read(const QString& target, QByteArray& data) {
    data.clear();
    if (!ready()) return Result::Failed;
    transferEnd_ = clock_.elapsed() + limits_.transferMs;
    const Result asked = request(atom(target.toLatin1().constData()));
    if (asked != Result::Ok) return asked;
    Property first;
    const Result read = readProperty(first, true);
    if (read != Result::Ok) return read;
    if (first.type != incr_) {
        data = std::move(first.bytes);
        return Result::Ok;
    }
    std::uint32_t announced = 0;
    if (first.bytes.size() >= 4) std::memcpy(&announced, first.bytes.constData(), 4);
    const Result transferred = readIncrementally(announced, data);
    if (transferred != Result::Ok) {
        data.clear();
        abandoned_ = true;
    }
    return transferred;
}

}  // namespace x11
