#include "platform/shape_mirror.h"

#include <algorithm>
#include <bit>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Bits lo..hi (inclusive) of a word.
std::uint64_t bitSpan(int lo, int hi) {
    const std::uint64_t upTo = hi >= 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (hi + 1)) - 1;
    return upTo & ~((std::uint64_t{1} << lo) - 1);
}

// Bit i set where line[i] differs from key, for i in [0, count), count <= 64.
std::uint64_t visibleBits(const QRgb* line, int count, QRgb key) {
    std::uint64_t bits = 0;
    int i = 0;
#ifdef __SSE2__
    const __m128i k = _mm_set1_epi32(static_cast<int>(key));
    for (; i + 4 <= count; i += 4) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + i));
        const int equal = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(px, k)));
        bits |= static_cast<std::uint64_t>(~equal & 0xf) << i;
    }
#endif
    for (; i < count; ++i)
        bits |= static_cast<std::uint64_t>(line[i] != key) << i;
    return bits;
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
    words_ = static_cast<size_t>((size_.width() + 63) / 64);
    shown_.assign(words_ * static_cast<size_t>(size_.height()), 0);
    want_.assign(words_, 0);
}

bool ShapeMirror::shown(int x, int y) const {
    if (x < 0 || y < 0 || x >= size_.width() || y >= size_.height()) return false;
    return (shown_[static_cast<size_t>(y) * words_ + static_cast<size_t>(x / 64)] >> (x % 64)) & 1;
}

size_t ShapeMirror::runCount() const {
    size_t runs = 0;
    for (int y = 0; y < size_.height(); ++y) {
        const std::uint64_t* bits = shown_.data() + static_cast<size_t>(y) * words_;
        std::uint64_t carry = 0;  // the last pixel of the word before
        for (size_t k = 0; k < words_; ++k) {
            // A run starts at every shown pixel whose left neighbour is hidden.
            runs += static_cast<size_t>(std::popcount(bits[k] & ~((bits[k] << 1) | carry)));
            carry = bits[k] >> 63;
        }
    }
    return runs;
}

void ShapeMirror::wantedRow(const QImage& picture, QRgb key, const std::vector<QRect>& forced,
                            int y, int left, int right) {
    const QRgb* line =
        y < picture.height() ? reinterpret_cast<const QRgb*>(picture.constScanLine(y)) : nullptr;
    const int inPicture = line ? std::min(right, picture.width() - 1) : left - 1;
    for (int k = left / 64; k <= right / 64; ++k) {
        const int lo = std::max(left, k * 64), hi = std::min(inPicture, k * 64 + 63);
        want_[static_cast<size_t>(k)] =
            hi >= lo ? visibleBits(line + lo, hi - lo + 1, key) << (lo - k * 64) : 0;
    }
    for (const QRect& f : forced) {
        if (y < f.top() || y > f.bottom()) continue;
        const int l = std::max(f.left(), left), r = std::min(f.right(), right);
        for (int k = l / 64; k <= r / 64 && l <= r; ++k)
            want_[static_cast<size_t>(k)] |=
                bitSpan(std::max(l, k * 64) - k * 64, std::min(r, k * 64 + 63) - k * 64);
    }
}

std::vector<uint8_t> ShapeMirror::rebuild(const QImage& picture, QRgb key,
                                          const QRegion& alwaysShown, int stride, bool lsbFirst) {
    const int w = size_.width(), h = size_.height();
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
    if (w <= 0) return bits;
    const QRegion inside = alwaysShown.intersected(QRect(QPoint(0, 0), size_));
    const std::vector<QRect> forced(inside.begin(), inside.end());
    const int bytes = std::min(stride, (w + 7) / 8);
    for (int y = 0; y < h; ++y) {
        wantedRow(picture, key, forced, y, 0, w - 1);
        std::copy(want_.begin(), want_.end(), row(y));
        uint8_t* out = bits.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int i = 0; i < bytes; ++i) {
            auto byte = static_cast<uint8_t>(want_[static_cast<size_t>(i / 8)] >> (8 * (i % 8)));
            if (!lsbFirst) {
                byte = static_cast<uint8_t>((byte * 0x0202020202ULL & 0x010884422010ULL) % 1023);
            }
            out[i] = byte;
        }
    }
    return bits;
}

bool ShapeMirror::update(const QImage& picture, QRgb key, const QRegion& area,
                         const QRegion& alwaysShown, size_t limit, Change& out) {
    out.removed.clear();
    out.added.clear();
    RunMerger removed(out.removed), added(out.added);
    for (const QRect& r : area.intersected(QRect(QPoint(0, 0), size_))) {
        removed.restart();
        added.restart();
        const QRegion inside = alwaysShown.intersected(r);
        const std::vector<QRect> forced(inside.begin(), inside.end());
        const int left = r.left(), right = r.right();
        for (int y = r.top(); y <= r.bottom(); ++y) {
            removed.nextRow();
            added.nextRow();
            wantedRow(picture, key, forced, y, left, right);
            std::uint64_t* have = row(y);
            // The run under way: 0 none, 1 leaving, 2 joining; it ends where either kind of bit
            // changes from one pixel to the next.
            int open = 0, start = 0;
            auto close = [&](int x) {
                if (open) (open == 2 ? added : removed).add(y, start, x - start);
                open = 0;
            };
            std::uint64_t carryOut = 0, carryIn = 0;
            for (int k = left / 64; k <= right / 64; ++k) {
                const std::uint64_t span =
                    bitSpan(std::max(left, k * 64) - k * 64, std::min(right, k * 64 + 63) - k * 64);
                const std::uint64_t want = want_[static_cast<size_t>(k)];
                const std::uint64_t was = have[k];
                const std::uint64_t diff = (want ^ was) & span;
                const std::uint64_t leave = diff & was, join = diff & want;
                std::uint64_t edges =
                    (leave ^ ((leave << 1) | carryOut)) | (join ^ ((join << 1) | carryIn));
                while (edges) {
                    const int b = std::countr_zero(edges);
                    edges &= edges - 1;
                    const int x = k * 64 + b;
                    close(x);
                    if ((leave >> b) & 1) {
                        open = 1;
                        start = x;
                    } else if ((join >> b) & 1) {
                        open = 2;
                        start = x;
                    }
                }
                carryOut = leave >> 63;
                carryIn = join >> 63;
                have[k] = (was & ~span) | (want & span);
            }
            close(right + 1);
            if (out.size() > limit) return false;
        }
    }
    return true;
}
