#include "platform/window_shape.h"

#include "platform/shape_mirror.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>
#include <QGuiApplication>
#include <algorithm>
#include <vector>

namespace {

// The X server empties a shape given as more rectangles than this in one request.
constexpr int kMaxRectsPerRequest = 30000;

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

std::vector<xcb_rectangle_t> toXcb(const std::vector<QRect>& rects) {
    std::vector<xcb_rectangle_t> out;
    out.reserve(rects.size());
    for (const QRect& r : rects)
        out.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                       static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
    return out;
}

}  // namespace

struct WindowShape::Impl {
    xcb_connection_t* conn = connection();
    xcb_window_t window = 0;
    QSize size;
    uint8_t kind = XCB_SHAPE_SK_BOUNDING;
    bool full = true;
    bool simple = false;  // the shape is the simple stand-in while the window moves
    bool whole = false;   // the input shape covers the whole window
    QRegion pending;
    bool outstanding = false;
    unsigned int syncSequence = 0;
    xcb_pixmap_t pixmap = 0;
    xcb_gcontext_t gc = 0;
    QSize pixmapSize;
    int lastRects = 0;
    long reshapes = 0;
    bool lastFull = false;
    ShapeMirror mirror;
    ShapeMirror::Change change;

    bool present() const {
        if (!conn) return false;
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(conn, &xcb_shape_id);
        return ext && ext->present;
    }

    void freePixmap() {
        if (pixmap) xcb_free_pixmap(conn, pixmap);
        if (gc) xcb_free_gc(conn, gc);
        pixmap = 0;
        gc = 0;
        pixmapSize = {};
    }

    void ensurePixmap() {
        if (pixmap && pixmapSize == size) return;
        freePixmap();
        pixmap = xcb_generate_id(conn);
        xcb_create_pixmap(conn, 1, pixmap, window, static_cast<uint16_t>(size.width()),
                          static_cast<uint16_t>(size.height()));
        gc = xcb_generate_id(conn);
        xcb_create_gc(conn, gc, pixmap, 0, nullptr);
        pixmapSize = size;
    }

    void markSent() {
        ++reshapes;
        xcb_get_input_focus_cookie_t cookie = xcb_get_input_focus(conn);
        syncSequence = cookie.sequence;
        outstanding = true;
        xcb_flush(conn);
    }

    // The whole shape from a 1-bit mask of the window.
    void sendMask(const QImage& picture, QRgb key, const QRegion& alwaysShown) {
        ensurePixmap();
        const xcb_setup_t* setup = xcb_get_setup(conn);
        const int pad = setup->bitmap_format_scanline_pad;
        const bool lsb = setup->bitmap_format_bit_order == XCB_IMAGE_ORDER_LSB_FIRST;
        const int w = size.width(), h = size.height();
        const int stride = ((w + pad - 1) / pad) * pad / 8;
        const uint32_t maxBytes =
            std::min<uint32_t>(xcb_get_maximum_request_length(conn) * 4u, 256u * 1024u) - 64u;
        const int bandRows = std::max(1, static_cast<int>(maxBytes / std::max(stride, 1)));
        if (mirror.size() != size) mirror.reset(size);
        const std::vector<uint8_t> bits = mirror.rebuild(picture, key, alwaysShown, stride, lsb);
        for (int y0 = 0; y0 < h; y0 += bandRows) {
            const int rows = std::min(bandRows, h - y0);
            xcb_put_image(conn, XCB_IMAGE_FORMAT_XY_PIXMAP, pixmap, gc, static_cast<uint16_t>(w),
                          static_cast<uint16_t>(rows), 0, static_cast<int16_t>(y0), 0, 1,
                          static_cast<uint32_t>(stride * rows),
                          bits.data() + static_cast<size_t>(y0) * static_cast<size_t>(stride));
        }
        xcb_shape_mask(conn, XCB_SHAPE_SO_SET, kind, window, 0, 0, pixmap);
        lastRects = 0;
        lastFull = true;
        markSent();
    }

    // Only the pixels that leave or join the shape. Cutting first keeps the region the server
    // repaints beneath the window as small as the pixels that really disappear.
    void sendChange(const ShapeMirror::Change& change) {
        lastRects = static_cast<int>(change.size());
        lastFull = false;
        if (change.size() == 0) return;
        if (!change.removed.empty()) {
            const auto cut = toXcb(change.removed);
            xcb_shape_rectangles(conn, XCB_SHAPE_SO_SUBTRACT, kind, XCB_CLIP_ORDERING_UNSORTED,
                                 window, 0, 0, static_cast<uint32_t>(cut.size()), cut.data());
        }
        if (!change.added.empty()) {
            const auto join = toXcb(change.added);
            xcb_shape_rectangles(conn, XCB_SHAPE_SO_UNION, kind, XCB_CLIP_ORDERING_UNSORTED, window,
                                 0, 0, static_cast<uint32_t>(join.size()), join.data());
        }
        markSent();
    }

    void apply(const QImage& picture, QRgb key, const QRegion& changed,
               const QRegion& alwaysShown) {
        if (!full &&
            mirror.update(picture, key, changed, alwaysShown, kMaxRectsPerRequest, change)) {
            sendChange(change);
            return;
        }
        sendMask(picture, key, alwaysShown);
        full = false;
    }
};

WindowShape::WindowShape() : d(std::make_unique<Impl>()) {}

WindowShape::~WindowShape() {
    if (d->conn && d->window) d->freePixmap();
}

bool WindowShape::available() const {
    return d->present();
}

void WindowShape::attach(WId window, QSize size, Kind kind) {
    if (!d->present()) return;
    if (d->window != static_cast<xcb_window_t>(window)) d->freePixmap();
    d->window = static_cast<xcb_window_t>(window);
    d->size = size;
    d->kind = kind == Kind::Bounding ? XCB_SHAPE_SK_BOUNDING : XCB_SHAPE_SK_INPUT;
    d->full = true;
    d->pending = QRegion();
    if (d->whole) {  // a new window or size: cover it afresh
        d->whole = false;
        coverWhole(true);
    }
}

void WindowShape::detach() {
    d->freePixmap();
    d->window = 0;
    d->whole = false;
}

bool WindowShape::attached() const {
    return d->window != 0;
}

bool WindowShape::simplify(const QRegion& simple, size_t maxRuns) {
    if (d->simple) return true;
    // The mirror is known to match the window only once a shape has been sent; an input shape
    // does not take part in the server's clipping at all.
    if (!d->window || d->full || d->kind != XCB_SHAPE_SK_BOUNDING) return false;
    if (d->mirror.runCount() <= maxRuns) return false;
    std::vector<QRect> rects(simple.begin(), simple.end());
    const auto set = toXcb(rects);
    xcb_shape_rectangles(d->conn, XCB_SHAPE_SO_SET, d->kind, XCB_CLIP_ORDERING_UNSORTED, d->window,
                         0, 0, static_cast<uint32_t>(set.size()), set.data());
    d->lastRects = static_cast<int>(set.size());
    d->lastFull = false;
    d->markSent();
    d->simple = true;
    d->full = true;  // the mirror no longer matches the window
    return true;
}

bool WindowShape::coverWhole(bool on) {
    if (on == d->whole) return d->whole;
    if (on && (!d->window || d->kind != XCB_SHAPE_SK_INPUT)) return false;
    d->whole = on;
    if (on) {
        const xcb_rectangle_t all{0, 0, static_cast<uint16_t>(d->size.width()),
                                  static_cast<uint16_t>(d->size.height())};
        xcb_shape_rectangles(d->conn, XCB_SHAPE_SO_SET, d->kind, XCB_CLIP_ORDERING_UNSORTED,
                             d->window, 0, 0, 1, &all);
        d->lastRects = 1;
        d->lastFull = false;
        d->markSent();
    }
    d->full = true;  // the window's shape no longer matches the mirror
    return d->whole;
}

bool WindowShape::coversWhole() const {
    return d->whole;
}

bool WindowShape::pictureShapeHolds(QPoint p) const {
    if (d->mirror.size() != d->size || !QRect(QPoint(0, 0), d->size).contains(p)) return false;
    return d->mirror.shown(p.x(), p.y());
}

bool WindowShape::simplified() const {
    return d->simple;
}

void WindowShape::restore() {
    d->simple = false;
}

bool WindowShape::busy() {
    if (!d->outstanding) return false;
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(d->conn, d->syncSequence, &reply, &error)) {
        free(reply);
        free(error);
        d->outstanding = false;
    }
    return d->outstanding;
}

void WindowShape::sync() {
    if (!d->outstanding) return;
    xcb_get_input_focus_cookie_t cookie{d->syncSequence};
    free(xcb_get_input_focus_reply(d->conn, cookie, nullptr));
    d->outstanding = false;
}

bool WindowShape::update(const QImage& picture, QRgb key, const QRegion& changed,
                         const QRegion& alwaysShown) {
    if (!d->window) return false;
    d->pending += changed;
    return flushPending(picture, key, alwaysShown);
}

bool WindowShape::flushPending(const QImage& picture, QRgb key, const QRegion& alwaysShown) {
    if (d->simple || d->whole) return false;
    if (!d->window || (d->pending.isEmpty() && !d->full)) return true;
    if (busy()) return false;
    QRegion todo;
    std::swap(todo, d->pending);
    d->apply(picture, key, todo, alwaysShown);
    return true;
}

int WindowShape::lastRectangleCount() const {
    return d->lastRects;
}
long WindowShape::reshapeCount() const {
    return d->reshapes;
}
bool WindowShape::lastWasFullMask() const {
    return d->lastFull;
}
