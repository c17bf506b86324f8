#include "picture/image_stores.h"

#include <algorithm>
#include <cstring>

ImageStores::ImageStores() = default;

void ImageStores::initialise() {
    for (Canvas* store : {&buffer_, &undo_, &stamp_}) {
        const bool isStamp = store == &stamp_;
        *store = Canvas(isStamp ? kStampStart : storeSize_.width(),
                        isStamp ? kStampStart : storeSize_.height(), TransparentKey);
        store->setBrushColor(TransparentKey);
    }
    stamp_.setTransparent(true);
    // Until now the surface showed nothing that the stores could disagree with.
    divergence_ = QRegion(surface_.rect());
    surface_.takeDamage();
    buffer_.takeDamage();
}

void ImageStores::coverDesktop(QSize desktop) {
    const QSize wanted = storeSize_.expandedTo(desktop);
    if (wanted == storeSize_) return;
    storeSize_ = wanted;
    if (buffer_.image().isNull()) return;
    for (Canvas* store : {&buffer_, &undo_}) {
        const TColor brush = store->brushColor();
        store->setBrushColor(TransparentKey);
        store->setSize(wanted.width(), wanted.height());
        store->setBrushColor(brush);
        // Beyond the old size the committed picture was the key colour already (a frame restore
        // showed it there), and the new part is the key colour: the surface differs from it
        // nowhere new, so the resize is no change to copy.
        store->takeDamage();
    }
}

QRect ImageStores::boardRect() const {
    return rectLTRB(1, 1, surface_.width(), surface_.height());
}

void ImageStores::resizeSurface(QSize client) {
    const TColor pen = surface_.penColor();
    const int width = surface_.penWidth();
    const QPoint pos = surface_.penPos();
    surface_ = Canvas(client.width(), client.height(), TransparentKey);
    surface_.setPenColor(pen);
    surface_.setPenWidth(width);
    surface_.moveTo(pos);
    surface_.takeDamage();
    divergence_ = QRegion(surface_.rect());
    presentDamage_ = QRegion(surface_.rect());
}

void ImageStores::absorbDamage() {
    const QRegion drawn = surface_.takeDamage();
    divergence_ += drawn;
    presentDamage_ += drawn;
    // The buffer changed outside a commit (opening a picture): the surface now differs there.
    divergence_ += buffer_.takeDamage().intersected(surface_.rect());
}

void ImageStores::commit() {
    absorbDamage();
    // Outside the divergence the surface already equals the committed picture.
    const QRect inner = storedBoard();
    for (const QRect& r : divergence_.intersected(inner))
        blockCopy(surface_.image(), buffer_.imageForWrite(), r);
    divergence_ -= inner;
}

void ImageStores::restore() {
    absorbDamage();
    const QRect inner = storedBoard();
    const QRegion stale = divergence_.intersected(inner);
    for (const QRect& r : stale)
        blockCopy(buffer_.image(), surface_.imageForWrite(), r);
    presentDamage_ += stale;
    divergence_ -= inner;
}

void ImageStores::frameRestore() {
    absorbDamage();
    const QRect inner = storedBoard();
    const QRgb key = toQRgb(surface_.brushColor());
    QImage& image = surface_.imageForWrite();
    // The same as filling all of r with the key colour and then restoring the board rectangle
    // over it, but every pixel is written once.
    for (const QRect& r : divergence_) {
        const QRect in = r.intersected(inner);
        if (in.isEmpty()) {
            blockFill(image, r, key);
            continue;
        }
        blockCopy(buffer_.image(), image, in);
        const QRect strips[] = {
            QRect(QPoint(r.left(), r.top()), QPoint(r.right(), in.top() - 1)),
            QRect(QPoint(r.left(), in.bottom() + 1), QPoint(r.right(), r.bottom())),
            QRect(QPoint(r.left(), in.top()), QPoint(in.left() - 1, in.bottom())),
            QRect(QPoint(in.right() + 1, in.top()), QPoint(r.right(), in.bottom()))};
        for (const QRect& strip : strips) {
            if (strip.isValid()) blockFill(image, strip, key);
        }
    }
    presentDamage_ += divergence_;
    divergence_ = QRegion();
}

void ImageStores::saveUndo() {
    absorbDamage();
    blockCopy(surface_.image(), undo_.imageForWrite(), boardRect());
}

void ImageStores::saveCommittedUndo() {
    blockCopy(buffer_.image(), undo_.imageForWrite(), storedBoard());
}

void ImageStores::swapUndo() {
    absorbDamage();
    const QRect board = boardRect();
    const QRect inner = storedBoard();
    blockCopy(undo_.image(), buffer_.imageForWrite(), board);
    blockCopy(surface_.image(), undo_.imageForWrite(), board);
    blockCopy(buffer_.image(), surface_.imageForWrite(), board);
    presentDamage_ += inner;
    divergence_ -= inner;
}

void ImageStores::captureStamp(const Canvas& canvas, const QRect& r) {
    const int w = std::max(0, r.width());
    const int h = std::max(0, r.height());
    stamp_.setSize(w, h);
    // Parts of the rectangle outside the source canvas take the key colour.
    stamp_.imageForWrite().fill(TransparentKeyRgb);
    const QRect src = r.intersected(canvas.rect());
    for (int y = src.top(); y <= src.bottom() && !src.isEmpty(); ++y) {
        std::memcpy(reinterpret_cast<QRgb*>(stamp_.imageForWrite().scanLine(y - r.top())) +
                        (src.left() - r.left()),
                    reinterpret_cast<const QRgb*>(canvas.image().constScanLine(y)) + src.left(),
                    static_cast<size_t>(src.width()) * sizeof(QRgb));
    }
    stamp_.takeDamage();
}

QRegion ImageStores::settled(const QRegion& area) {
    absorbDamage();
    return area.subtracted(divergence_);
}

QRegion ImageStores::takePresentDamage() {
    absorbDamage();
    QRegion out;
    std::swap(out, presentDamage_);
    return out;
}
