#include "dialogs/extension_tools/pixel_filters.h"

#include "platform/picture_memory.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace filters {

namespace {

// Columns handled together: a strip this narrow keeps the walk row by row in memory while the
// progress still advances in small steps.
constexpr int kStrip = 64;

using Lut = std::array<std::uint8_t, 256>;

QRgb mapChannels(QRgb p, const Lut& lut) {
    return 0xff000000u | (QRgb(lut[(p >> 16) & 0xffu]) << 16) | (QRgb(lut[(p >> 8) & 0xffu]) << 8) |
           QRgb(lut[p & 0xffu]);
}

int brightnessChannel(int c, int delta) {
    return Clamp(c + delta, 0, 255);
}

int contrastChannel(int c, int k) {
    // The product is an exact integer; the division and the addition are done in floating point.
    const int product = (c - 128) * k;
    return Clamp(RoundHalfEven(static_cast<double>(c) + static_cast<double>(product) / 100.0), 0,
                 255);
}

template <typename Channel>
TColor mapColour(TColor colour, Channel channel) {
    const int r = channel(static_cast<int>(colour & 0xffu));
    const int g = channel(static_cast<int>((colour >> 8) & 0xffu));
    const int b = channel(static_cast<int>((colour >> 16) & 0xffu));
    return static_cast<TColor>(r + g * 256 + b * 65536);
}

template <typename Channel>
Lut tableOf(Channel channel) {
    Lut lut{};
    for (int c = 0; c < 256; ++c)
        lut[static_cast<size_t>(c)] = static_cast<std::uint8_t>(channel(c));
    return lut;
}

// The area's pixels that may be touched: inside the area, the picture and the reachable part.
QRegion touchable(const Target& t) {
    const QRect& a = t.area;
    if (a.width() <= 0 || a.height() <= 0) return {};
    return t.reachable.intersected(a).intersected(t.image.rect());
}

QRgb* rowOf(uchar* bits, qsizetype stride, int y) {
    return reinterpret_cast<QRgb*>(bits + stride * y);
}

// Walks the area's columns in strips: `strip(x0, x1, part)` handles columns x0 … x1 - 1 within
// `part` (the touchable pixels of those columns), then every column of the strip reports its
// progress.
template <typename Strip>
void walkColumns(const Target& t, const QRegion& touch, int from, int span,
                 const Progress& progress, Strip strip) {
    const QRect& a = t.area;
    const int w = a.width();
    for (int x0 = a.left(); x0 - a.left() < w; x0 += kStrip) {
        const int x1 = x0 + std::min(kStrip, w - (x0 - a.left()));
        if (!touch.isEmpty()) {
            const QRegion part = touch.intersected(QRect(x0, a.top(), x1 - x0, a.height()));
            if (!part.isEmpty()) strip(part);
        }
        if (progress) {
            for (int x = x0; x < x1; ++x)
                progress(ProgressValue(x - a.left(), w, from, span));
        }
    }
}

template <typename Rule>
void mapPixels(Target t, const Progress& progress, Rule rule) {
    if (t.area.width() <= 0) return;
    const QRegion touch = touchable(t);
    uchar* bits = touch.isEmpty() ? nullptr : t.image.bits();
    const qsizetype stride = t.image.bytesPerLine();
    walkColumns(t, touch, 0, 1000, progress, [&](const QRegion& part) {
        for (const QRect& r : part) {
            for (int y = r.top(); y <= r.bottom(); ++y) {
                QRgb* line = rowOf(bits, stride, y);
                for (int x = r.left(); x <= r.right(); ++x)
                    line[x] = rule(line[x]);
            }
        }
    });
}

}  // namespace

int Clamp(int v, int lo, int hi) {
    return std::min(hi, std::max(lo, v));
}

int WrapIndex(int v, int n) {
    const int r = v % n;
    return r < 0 ? r + n : r;
}

int RoundHalfEven(double v) {
    const double down = std::floor(v);
    const double rest = v - down;
    double out = down;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(down, 2.0) != 0.0)) out = down + 1.0;
    return static_cast<int>(out);
}

TColor AdjustBrightness(TColor colour, int delta) {
    return mapColour(colour, [delta](int c) { return brightnessChannel(c, delta); });
}

TColor AdjustContrast(TColor colour, int k) {
    return mapColour(colour, [k](int c) { return contrastChannel(c, k); });
}

int ProgressValue(int i, int w, int from, int span) {
    if (w <= 1) return from + span;
    return from + RoundHalfEven(static_cast<double>(i) * span / (w - 1));
}

void ExchangeColour(Target t, TColor from, TColor to, const Progress& progress) {
    const QRgb match = toQRgb(from), put = toQRgb(to);
    mapPixels(t, progress, [match, put](QRgb p) { return p == match ? put : p; });
}

void Negative(Target t, const Progress& progress) {
    mapPixels(t, progress,
              [](QRgb p) { return p == TransparentKeyRgb ? p : (p ^ 0x00ffffffu) | 0xff000000u; });
}

void Brightness(Target t, int delta, const Progress& progress) {
    const Lut lut = tableOf([delta](int c) { return brightnessChannel(c, delta); });
    mapPixels(t, progress,
              [&lut](QRgb p) { return p == TransparentKeyRgb ? p : mapChannels(p, lut); });
}

void Contrast(Target t, int k, const Progress& progress) {
    const Lut lut = tableOf([k](int c) { return contrastChannel(c, k); });
    mapPixels(t, progress,
              [&lut](QRgb p) { return p == TransparentKeyRgb ? p : mapChannels(p, lut); });
}

bool Shift(Target t, int dx, int dy, const Progress& progress) {
    const QRect& a = t.area;
    const int w = a.width(), h = a.height();
    if (w <= 0) return true;
    // A copy of the area to read from while the area is written. It is as large as the whole
    // board for a whole-board run: memory that takes huge pages where it can, or the first touch
    // of its pages costs more than the shift itself on a large desktop.
    QImage grid = picture_memory::newRgb32(w, h);
    if (h > 0 && grid.isNull()) return false;
    grid.fill(TransparentKeyRgb);
    QRgb* const gridBits = reinterpret_cast<QRgb*>(grid.bits());
    const QRegion touch = touchable(t);
    uchar* bits = touch.isEmpty() ? nullptr : t.image.bits();
    const qsizetype stride = t.image.bytesPerLine();
    auto cell = [&](int x, int y) {
        return gridBits + static_cast<size_t>(y - a.top()) * static_cast<size_t>(w) +
               static_cast<size_t>(x - a.left());
    };

    // Copy pass: what cannot be read stays the key colour.
    walkColumns(t, touch, 0, 200, progress, [&](const QRegion& part) {
        for (const QRect& r : part) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(cell(r.left(), y), rowOf(bits, stride, y) + r.left(),
                            static_cast<size_t>(r.width()) * sizeof(QRgb));
        }
    });
    // Write pass: every touchable pixel takes the grid cell dx to the left and dy above it.
    walkColumns(t, touch, 200, 800, progress, [&](const QRegion& part) {
        for (const QRect& r : part) {
            const int firstColumn = WrapIndex(r.left() - a.left() - dx, w);
            for (int y = r.top(); y <= r.bottom(); ++y) {
                const QRgb* source = cell(a.left(), a.top() + WrapIndex(y - a.top() - dy, h));
                QRgb* line = rowOf(bits, stride, y);
                int column = firstColumn;
                for (int x = r.left(); x <= r.right(); ++x) {
                    line[x] = source[column];
                    if (++column == w) column = 0;
                }
            }
        }
    });
    return true;
}

}  // namespace filters
