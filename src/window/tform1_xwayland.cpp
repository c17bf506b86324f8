// The board under XWayland. The compositor routes the pointer to the board only where the X input
// shape lets it (XWayland 24.1 and later pass the shape on), and XWayland hears where the pointer
// is only while the compositor routes it to one of its windows: over a see-through pixel the
// pointer is away, and its position freezes. So while something follows the pointer the whole
// client area takes it. On an ordinary X server nothing here changes anything.
#include "platform/xwayland.h"
#include "window/tform1.h"

QPoint TForm1::readCursor(bool& real) {
    if (!pointer_.frozenOutside()) {
        real = true;
        return platform_.cursorPos();
    }
    const x11::PointerReading r = x11::queryPointer();
    real = pointer_.real(r.overXWindow);
    const qreal ratio = devicePixelRatioF();
    return QPoint(qRound(r.root.x() / ratio), qRound(r.root.y() / ratio));
}

QPoint TForm1::keyCursor(bool& real) {
    if (!pointer_.frozenOutside()) {
        real = true;
        return cursorInClient();
    }
    // The key press's own position is already the board's, in device pixels.
    const QPoint now = readCursor(real);
    return keyPressPointer_ ? *keyPressPointer_ : clientFromGlobal(now);
}

void TForm1::keepInputWide() {
    WindowShape& shape = presenter_.shape();
    if (!pointer_.frozenOutside() || !shape.attached()) return;
    const bool wide = model_.followsPointer();
    if (wide == shape.coversWhole()) return;
    shape.coverWhole(wide);
    if (!wide) present();  // the picture's own shape goes back at once
}

// While the input shape is widened, a press where the picture's own shape would have let it
// through (a see-through pixel, or ink of the stroke or preview under way, which lies where the
// pointer is) only reached the board because of the widening: it neither drags the board nor
// opens the menu.
bool TForm1::pressOnWidenedSeeThrough(QPoint at) const {
    const WindowShape& shape = presenter_.shape();
    if (!shape.coversWhole()) return false;
    return !shape.pictureShapeHolds(at) && !alwaysShown().contains(at);
}
