#include "platform/xwayland.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <string>

namespace x11 {
namespace {

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

bool hasExtension(xcb_connection_t* c, const char* name) {
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
        c, xcb_query_extension(c, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const bool present = reply && reply->present;
    std::free(reply);
    return present;
}

std::vector<std::string> outputNames(xcb_connection_t* c) {
    std::vector<std::string> names;
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (!randr || !randr->present) return names;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return names;
    xcb_randr_get_screen_resources_current_reply_t* resources =
        xcb_randr_get_screen_resources_current_reply(
            c, xcb_randr_get_screen_resources_current(c, screen->root), nullptr);
    if (!resources) return names;
    const xcb_randr_output_t* outputs = xcb_randr_get_screen_resources_current_outputs(resources);
    const int count = xcb_randr_get_screen_resources_current_outputs_length(resources);
    for (int i = 0; i < count; ++i) {
        xcb_randr_get_output_info_reply_t* info = xcb_randr_get_output_info_reply(
            c, xcb_randr_get_output_info(c, outputs[i], resources->config_timestamp), nullptr);
        if (!info) continue;
        const auto* name = reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info));
        names.emplace_back(name, static_cast<size_t>(xcb_randr_get_output_info_name_length(info)));
        std::free(info);
    }
    std::free(resources);
    return names;
}

}  // namespace

bool namesAreXWayland(const std::vector<std::string_view>& outputNames) {
    if (outputNames.empty()) return false;
    for (std::string_view name : outputNames)
        if (!name.starts_with("XWAYLAND")) return false;
    return true;
}

bool isXWayland() {
    xcb_connection_t* c = connection();
    if (!c) return false;
    if (hasExtension(c, "XWAYLAND")) return true;
    const std::vector<std::string> names = outputNames(c);
    return namesAreXWayland(std::vector<std::string_view>(names.begin(), names.end()));
}

PointerReading queryPointer() {
    PointerReading out;
    xcb_connection_t* c = connection();
    if (!c) return out;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return out;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(c, xcb_query_pointer(c, screen->root), nullptr);
    if (!reply) return out;
    out.root = QPoint(reply->root_x, reply->root_y);
    out.overXWindow = reply->same_screen && reply->child != XCB_WINDOW_NONE;
    std::free(reply);
    return out;
}

}  // namespace x11
