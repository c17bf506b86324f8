#pragma once

#include <QRegion>
#include <QSize>

#include "platform/raster.h"

// Rectangle from left, top, right, bottom with right and bottom exclusive.
inline QRect rectLTRB(int l, int t, int r, int b) {
    return QRect(l, t, r - l, b - t);
}

// The live picture (the surface under the window's client area) and the three off-screen
// pictures behind it: the committed picture, the undo picture and the stamp.
//
// Whole-picture copies use the board rectangle (1, 1) – (client width, client height); column 0
// and row 0 are never committed or restored. The committed and undo pictures are at least
// 1600 × 1200 and at least as large as the desktop (the bounding box of all screens in device
// pixels), so a client area on the desktop never reaches beyond them; they grow when the desktop
// does and never shrink. Only a window larger than the desktop has a part with no stored picture:
// copies skip it and a frame restore shows the key colour there.
//
// The surface keeps track of where it may differ from "key colour, then the committed picture"
// (its divergence), so a frame restore rewrites and a commit copies only those pixels, and of
// where it changed since the window last presented it. Whoever writes a store's or the surface's
// pixels directly must report the area with addDamage, or these copies miss it.
class ImageStores {
public:
    static constexpr int kStoreWidth = 1600;
    static constexpr int kStoreHeight = 1200;
    static constexpr int kStampStart = 32;

    ImageStores();

    // Start-up: the three stores filled with the key colour, drawn transparently by key.
    void initialise();

    // The size of the committed and undo pictures: the larger of 1600 × 1200 and every desktop
    // size given to coverDesktop.
    QSize storeSize() const { return storeSize_; }
    // The desktop is now `desktop` (device pixels). The committed and undo pictures grow to cover
    // it, keeping what they hold at its place; the new part is the key colour. They never shrink.
    // Before initialise only the size to make them is noted.
    void coverDesktop(QSize desktop);

    Canvas& surface() { return surface_; }
    const Canvas& surface() const { return surface_; }
    Canvas& buffer() { return buffer_; }
    const Canvas& buffer() const { return buffer_; }
    Canvas& undo() { return undo_; }
    const Canvas& undo() const { return undo_; }
    Canvas& stamp() { return stamp_; }
    const Canvas& stamp() const { return stamp_; }

    QRect boardRect() const;

    // The window system gave the client area a new size and repainted it to the key colour.
    void resizeSurface(QSize client);

    void commit();             // surface -> buffer
    void restore();            // buffer -> surface
    void frameRestore();       // key colour over the whole client area, then restore
    void saveUndo();           // surface -> undo
    void saveCommittedUndo();  // buffer -> undo
    void swapUndo();           // undo -> buffer, surface -> undo, buffer -> surface
    void captureStamp(const Canvas& canvas, const QRect& r);

    // Where the surface changed since the last call: what the window must present again.
    QRegion takePresentDamage();
    // Whether the surface changed since the last takePresentDamage.
    bool presentPending() const {
        return !presentDamage_.isEmpty() || !surface_.damage().isEmpty();
    }
    // The part of `area` where the surface shows the committed picture (or, off the stores, the
    // key colour): everything but the pixels of a preview, a marker or a frame not yet committed.
    QRegion settled(const QRegion& area);

private:
    void absorbDamage();
    QRect storedBoard() const { return boardRect().intersected(QRect(QPoint(0, 0), storeSize_)); }

    Canvas surface_;
    Canvas buffer_;
    Canvas undo_;
    Canvas stamp_;
    QRegion divergence_;
    QRegion presentDamage_;
    QSize storeSize_{kStoreWidth, kStoreHeight};
};
