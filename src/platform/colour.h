#pragma once

#include <QRgb>
#include <cstdint>

// Colours inside the board are 24-bit values laid out 0x00BBGGRR (red in the low byte).
// They are converted to Qt's 0xAARRGGBB only where pixels are read or written.
using TColor = std::uint32_t;

// The board's background and colour key: red 255, green 255, blue 204.
inline constexpr TColor TransparentKey = 13434879;  // $CCFFFF

constexpr QRgb toQRgb(TColor c) {
    return 0xff000000u | ((c & 0xffu) << 16) | (c & 0xff00u) | ((c >> 16) & 0xffu);
}

constexpr TColor fromQRgb(QRgb rgb) {
    return ((rgb >> 16) & 0xffu) | (rgb & 0xff00u) | ((rgb & 0xffu) << 16);
}

inline constexpr QRgb TransparentKeyRgb = toQRgb(TransparentKey);
