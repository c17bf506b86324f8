#pragma once

#include <QString>
#include <array>

#include "platform/colour.h"

// The palette's 18 swatches and their bevels. The selected swatch shows a lowered outer bevel;
// there is no other record of the current swatch.
struct Swatch {
    const char* name;  // control name, e.g. "Panel2"
    QString caption;   // "消", "他" or empty
    TColor colour;
    int left;
    int top;
    bool outerLowered = false;
    bool innerLowered = false;
};

class Palette {
public:
    static constexpr int kCount = 18;
    // Indices of the two captioned swatches.
    static constexpr int kEraser = 8;       // Panel15 "消"
    static constexpr int kFreeColour = 17;  // Panel17 "他"

    Palette();

    const std::array<Swatch, kCount>& swatches() const { return swatches_; }
    const Swatch& swatch(int i) const { return swatches_[i]; }
    int indexOf(const char* name) const;

    // All outer bevels raised, in the order Panel2, Panel3, ... Panel19. `visit` sees each
    // swatch index as it is released.
    template <typename Visit>
    void releaseAll(Visit visit);
    void releaseAll() {
        releaseAll([](int) {});
    }

    // Clicking a colour swatch (not the two captioned ones): returns the new pen colour.
    TColor selectColour(int index);
    // Clicking "消": returns the new pen colour, the key colour.
    TColor selectEraser();
    // Confirming the colour dialog from "他": returns the new pen colour.
    TColor selectFreeColour(TColor chosen);
    // The eyedropper's pick: lowers both bevels of "消" or of "他" (taking the colour).
    TColor pick(TColor picked);

    // The colour the colour dialog opens on.
    TColor dialogColour() const { return dialogColour_; }
    void setDialogColour(TColor c) { dialogColour_ = c; }

    // Control names in the order the release visits them.
    static const std::array<int, kCount>& releaseOrder();

private:
    std::array<Swatch, kCount> swatches_;
    TColor dialogColour_ = 0;
};

template <typename Visit>
void Palette::releaseAll(Visit visit) {
    for (int i : releaseOrder()) {
        swatches_[i].outerLowered = false;
        visit(i);
    }
}
