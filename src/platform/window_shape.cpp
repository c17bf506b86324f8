#include "window_shape.h"

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

std::vector<QRect> visibleRects(const QImage& picture, QRgb key, const QRect& area) {
    std::vector<QRect> out;
    const QRect a = area.intersected(picture.rect());
    if (a.isEmpty()) return out;
    // Runs of the previous row, as indices into `out`, sorted by x.
    std::vector<size_t> open, next;
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        next.clear();
        size_t o = 0;
        int x = a.left();
        while (x <= a.right()) {
            while (x <= a.right() && line[x] == key)
                ++x;
            if (x > a.right()) break;
            const int x0 = x;
            while (x <= a.right() && line[x] != key)
                ++x;
            const int width = x - x0;
            while (o < open.size() && out[open[o]].x() < x0)
                ++o;
            if (o < open.size() && out[open[o]].x() == x0 && out[open[o]].width() == width) {
                out[open[o]].setBottom(y);
                next.push_back(open[o]);
            } else {
                out.emplace_back(x0, y, width, 1);
                next.push_back(out.size() - 1);
            }
        }
        std::swap(open, next);
    }
    return out;
}

struct WindowShape::Impl {
    xcb_connection_t* conn = connection();
    xcb_window_t window = 0;
    QSize size;
    uint8_t kind = XCB_SHAPE_SK_BOUNDING;
    bool full = true;
    QRegion pending;
    bool outstanding = false;
    unsigned int syncSequence = 0;
    xcb_pixmap_t pixmap = 0;
    xcb_gcontext_t gc = 0;
    QSize pixmapSize;
    int lastRects = 0;
    bool lastFull = false;
    std::vector<uint8_t> bits;

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
        QImage shown(w, h, QImage::Format_Mono);
        shown.fill(0);
        for (int y = 0; y < h; ++y) {
            const QRgb* line = y < picture.height()
                                   ? reinterpret_cast<const QRgb*>(picture.constScanLine(y))
                                   : nullptr;
            uint8_t* out = shown.scanLine(y);
            const int limit = line ? std::min(w, picture.width()) : 0;
            for (int x = 0; x < limit; ++x) {
                if (line[x] != key)
                    out[x >> 3] |= static_cast<uint8_t>(lsb ? 1u << (x & 7) : 0x80u >> (x & 7));
            }
        }
        for (const QRect& r : alwaysShown) {
            const QRect c = r.intersected(QRect(0, 0, w, h));
            for (int y = c.top(); y <= c.bottom(); ++y) {
                uint8_t* out = shown.scanLine(y);
                for (int x = c.left(); x <= c.right(); ++x)
                    out[x >> 3] |= static_cast<uint8_t>(lsb ? 1u << (x & 7) : 0x80u >> (x & 7));
            }
        }
        bits.resize(static_cast<size_t>(stride) * static_cast<size_t>(bandRows));
        for (int y0 = 0; y0 < h; y0 += bandRows) {
            const int rows = std::min(bandRows, h - y0);
            for (int y = 0; y < rows; ++y)
                std::copy_n(shown.constScanLine(y0 + y),
                            std::min<qsizetype>(stride, shown.bytesPerLine()),
                            bits.data() + static_cast<size_t>(y) * stride);
            xcb_put_image(conn, XCB_IMAGE_FORMAT_XY_PIXMAP, pixmap, gc, static_cast<uint16_t>(w),
                          static_cast<uint16_t>(rows), 0, static_cast<int16_t>(y0), 0, 1,
                          static_cast<uint32_t>(stride * rows), bits.data());
        }
        xcb_shape_mask(conn, XCB_SHAPE_SO_SET, kind, window, 0, 0, pixmap);
        lastRects = 0;
        lastFull = true;
    }

    // Only the changed area: cut it out of the shape, then add back what shows there.
    bool sendRects(const QImage& picture, QRgb key, const QRegion& changed,
                   const QRegion& alwaysShown) {
        std::vector<QRect> shown;
        for (const QRect& r : changed) {
            std::vector<QRect> part = visibleRects(picture, key, r);
            shown.insert(shown.end(), part.begin(), part.end());
            if (shown.size() > static_cast<size_t>(kMaxRectsPerRequest)) return false;
        }
        for (const QRect& r : alwaysShown.intersected(changed))
            shown.push_back(r);
        const std::vector<QRect> cut(changed.begin(), changed.end());
        if (cut.size() > static_cast<size_t>(kMaxRectsPerRequest)) return false;
        const auto cutX = toXcb(cut);
        const auto shownX = toXcb(shown);
        xcb_shape_rectangles(conn, XCB_SHAPE_SO_SUBTRACT, kind, XCB_CLIP_ORDERING_UNSORTED, window,
                             0, 0, static_cast<uint32_t>(cutX.size()), cutX.data());
        if (!shownX.empty())
            xcb_shape_rectangles(conn, XCB_SHAPE_SO_UNION, kind, XCB_CLIP_ORDERING_UNSORTED, window,
                                 0, 0, static_cast<uint32_t>(shownX.size()), shownX.data());
        lastRects = static_cast<int>(cutX.size() + shownX.size());
        lastFull = false;
        return true;
    }

    void apply(const QImage& picture, QRgb key, const QRegion& changed,
               const QRegion& alwaysShown) {
        const QRegion area = changed.intersected(QRect(QPoint(0, 0), size));
        qint64 pixels = 0;
        for (const QRect& r : area)
            pixels += qint64(r.width()) * r.height();
        const qint64 total = qint64(size.width()) * size.height();
        if (full || pixels * 4 > total || !sendRects(picture, key, area, alwaysShown))
            sendMask(picture, key, alwaysShown);
        full = false;
        markSent();
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
}

void WindowShape::detach() {
    d->freePixmap();
    d->window = 0;
}

bool WindowShape::attached() const {
    return d->window != 0;
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
bool WindowShape::lastWasFullMask() const {
    return d->lastFull;
}
