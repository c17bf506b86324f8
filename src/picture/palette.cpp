#include "picture/palette.h"

#include <cstring>
#include <string>

namespace {
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clNavy = 0x800000, clOlive = 0x008080,
                 clGreen = 0x008000, clTeal = 0x808000, clPurple = 0x800080, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clWhite = 0xFFFFFF, clRed = 0x0000FF, clBlue = 0xFF0000,
                 clYellow = 0x00FFFF, clLime = 0x00FF00, clAqua = 0xFFFF00, clFuchsia = 0xFF00FF;
}  // namespace

Palette::Palette()
    : swatches_{{
          {"Panel2", {}, clBlack, 4, 4, true, false},
          {"Panel4", {}, clMaroon, 12, 4},
          {"Panel6", {}, clNavy, 20, 4},
          {"Panel13", {}, clOlive, 28, 4},
          {"Panel12", {}, clGreen, 36, 4},
          {"Panel11", {}, clTeal, 44, 4},
          {"Panel19", {}, clPurple, 52, 4},
          {"Panel18", {}, clGray, 60, 4},
          {"Panel15", QStringLiteral("消"), clSilver, 68, 4},
          {"Panel3", {}, clWhite, 4, 16},
          {"Panel5", {}, clRed, 12, 16},
          {"Panel7", {}, clBlue, 20, 16},
          {"Panel8", {}, clYellow, 28, 16},
          {"Panel9", {}, clLime, 36, 16},
          {"Panel10", {}, clAqua, 44, 16},
          {"Panel14", {}, clFuchsia, 52, 16},
          {"Panel16", {}, clSilver, 60, 16},
          {"Panel17", QStringLiteral("他"), clSilver, 68, 16},
      }} {}

int Palette::indexOf(const char* name) const {
    for (int i = 0; i < kCount; ++i)
        if (std::strcmp(swatches_[i].name, name) == 0) return i;
    return -1;
}

const std::array<int, Palette::kCount>& Palette::releaseOrder() {
    // Panel2, Panel3, ... Panel19 by their numbers.
    static const std::array<int, kCount> order = [] {
        std::array<int, kCount> o{};
        const Palette p;
        for (int n = 2, k = 0; n <= 19; ++n, ++k)
            o[k] = p.indexOf(("Panel" + std::to_string(n)).c_str());
        return o;
    }();
    return order;
}

TColor Palette::selectColour(int index) {
    releaseAll();
    swatches_[index].outerLowered = true;
    return swatches_[index].colour;
}

TColor Palette::selectEraser() {
    releaseAll();
    swatches_[kEraser].outerLowered = true;
    return TransparentKey;
}

TColor Palette::selectFreeColour(TColor chosen) {
    releaseAll();
    swatches_[kFreeColour].outerLowered = true;
    swatches_[kFreeColour].colour = chosen;
    dialogColour_ = chosen;
    return chosen;
}

TColor Palette::pick(TColor picked) {
    releaseAll();
    if (picked == TransparentKey) {
        swatches_[kEraser].innerLowered = true;
        swatches_[kEraser].outerLowered = true;
        return TransparentKey;
    }
    swatches_[kFreeColour].innerLowered = true;
    swatches_[kFreeColour].outerLowered = true;
    swatches_[kFreeColour].colour = picked;
    dialogColour_ = picked;
    return picked;
}
