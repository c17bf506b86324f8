#include "shape_mirror.h"

#include <algorithm>
#include <cstring>

namespace {

// The first x in [x, right] where the two rows differ, or right + 1; eight bytes at a time
// across the long stretches where nothing changed.
int firstDifference(const uint8_t* a, const uint8_t* b, int x, int right) {
    for (; x + 8 <= right + 1; x += 8) {
        std::uint64_t u, v;
        std::memcpy(&u, a + x, 8);
        std::memcpy(&v, b + x, 8);
        if (u != v) break;
    }
    while (x <= right && a[x] == b[x])
        ++x;
    return x;
}

}  // namespace

void RunMerger::nextRow() {
    std::swap(above_, current_);
    current_.clear();
    cursor_ = 0;
}

void RunMerger::add(int y, int left, int width) {
    while (cursor_ < above_.size() && out_[above_[cursor_]].x() < left)
        ++cursor_;
    if (cursor_ < above_.size()) {
        QRect& r = out_[above_[cursor_]];
        if (r.x() == left && r.width() == width && r.bottom() == y - 1) {
            r.setBottom(y);
            current_.push_back(above_[cursor_]);
            return;
        }
    }
    out_.emplace_back(left, y, width, 1);
    current_.push_back(out_.size() - 1);
}

void RunMerger::restart() {
    above_.clear();
    current_.clear();
    cursor_ = 0;
}

std::vector<QRect> visibleRects(const QImage& picture, QRgb key, const QRect& area) {
    std::vector<QRect> out;
    const QRect a = area.intersected(picture.rect());
    if (a.isEmpty()) return out;
    RunMerger runs(out);
    for (int y = a.top(); y <= a.bottom(); ++y) {
        runs.nextRow();
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        int x = a.left();
        while (x <= a.right()) {
            while (x <= a.right() && line[x] == key)
                ++x;
            if (x > a.right()) break;
            const int x0 = x;
            while (x <= a.right() && line[x] != key)
                ++x;
            runs.add(y, x0, x - x0);
        }
    }
    return out;
}

void ShapeMirror::reset(QSize size) {
    size_ = size.expandedTo(QSize(0, 0));
    shown_.assign(static_cast<size_t>(size_.width()) * static_cast<size_t>(size_.height()), 0);
    want_.assign(static_cast<size_t>(size_.width()), 0);
}

bool ShapeMirror::shown(int x, int y) const {
    if (x < 0 || y < 0 || x >= size_.width() || y >= size_.height()) return false;
    return shown_[static_cast<size_t>(y) * static_cast<size_t>(size_.width()) +
                  static_cast<size_t>(x)] != 0;
}

void ShapeMirror::wantedRow(const QImage& picture, QRgb key, const std::vector<QRect>& forced,
                            int y, int left, int right) {
    uint8_t* want = want_.data();
    int x = left;
    if (y < picture.height()) {
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const int end = std::min(right, picture.width() - 1);
        for (; x <= end; ++x)
            want[x] = line[x] != key;
    }
    if (x <= right) std::memset(want + x, 0, static_cast<size_t>(right - x + 1));
    for (const QRect& f : forced) {
        if (y < f.top() || y > f.bottom()) continue;
        const int l = std::max(f.left(), left), r = std::min(f.right(), right);
        if (l <= r) std::memset(want + l, 1, static_cast<size_t>(r - l + 1));
    }
}

std::vector<uint8_t> ShapeMirror::rebuild(const QImage& picture, QRgb key,
                                          const QRegion& alwaysShown, int stride, bool lsbFirst) {
    const int w = size_.width(), h = size_.height();
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
    if (w <= 0) return bits;
    const QRegion inside = alwaysShown.intersected(QRect(QPoint(0, 0), size_));
    const std::vector<QRect> forced(inside.begin(), inside.end());
    for (int y = 0; y < h; ++y) {
        wantedRow(picture, key, forced, y, 0, w - 1);
        std::memcpy(shown_.data() + static_cast<size_t>(y) * static_cast<size_t>(w), want_.data(),
                    static_cast<size_t>(w));
        uint8_t* out = bits.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < w; ++x) {
            if (want_[static_cast<size_t>(x)])
                out[x >> 3] |= static_cast<uint8_t>(lsbFirst ? 1u << (x & 7) : 0x80u >> (x & 7));
        }
    }
    return bits;
}

bool ShapeMirror::update(const QImage& picture, QRgb key, const QRegion& area,
                         const QRegion& alwaysShown, size_t limit, Change& out) {
    out.removed.clear();
    out.added.clear();
    RunMerger removed(out.removed), added(out.added);
    const int w = size_.width();
    const uint8_t* want = want_.data();
    for (const QRect& r : area.intersected(QRect(QPoint(0, 0), size_))) {
        removed.restart();
        added.restart();
        const QRegion inside = alwaysShown.intersected(r);
        const std::vector<QRect> forced(inside.begin(), inside.end());
        const int right = r.right();
        for (int y = r.top(); y <= r.bottom(); ++y) {
            removed.nextRow();
            added.nextRow();
            wantedRow(picture, key, forced, y, r.left(), right);
            uint8_t* have = shown_.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
            int x = r.left();
            while (x <= right) {
                x = firstDifference(want, have, x, right);
                if (x > right) break;
                const uint8_t join = want[x];
                const int x0 = x;
                while (x <= right && want[x] != have[x] && want[x] == join)
                    ++x;
                (join ? added : removed).add(y, x0, x - x0);
            }
            std::memcpy(have + r.left(), want + r.left(), static_cast<size_t>(r.width()));
            if (out.size() > limit) return false;
        }
    }
    return true;
}
