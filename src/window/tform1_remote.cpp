// Commands from outside the window: what the remote service asks of the board beyond the
// handlers of its controls.
#include <QScreen>

#include "platform/picture_file.h"
#include "window/tform1.h"

void TForm1::setPenColourTo(TColor colour) {
    // A colour of the palette takes its swatch, the key colour the eraser, any other the free
    // colour swatch, as if it had been chosen there.
    const Palette& palette = model_.palette;
    int swatch = -1;
    for (int i = 0; i < Palette::kCount; ++i) {
        if (swatch < 0 && i != Palette::kEraser && i != Palette::kFreeColour &&
            palette.swatch(i).colour == colour)
            swatch = i;
    }
    if (colour == TransparentKey)
        model_.setPenColor(model_.palette.selectEraser());
    else if (swatch >= 0)
        model_.setPenColor(model_.palette.selectColour(swatch));
    else
        model_.setPenColor(model_.palette.selectFreeColour(colour));
    paletteChanged();
}

void TForm1::closeFromOutside(bool ask) {
    if (ask) {
        Exit1Click();
        return;
    }
    closeUnasked_ = true;
    close();
    closeUnasked_ = false;
}

QString TForm1::snapshotTo(const QString& path) {
    QScreen* shown = screen();
    if (!shown) return bitmap_file::cannotCreateMessage(path);
    // What was drawn last reaches the screen before it is read back.
    present();
    const QPoint at = mapToGlobal(QPoint(0, 0)) - shown->geometry().topLeft();
    const QImage shot = shown->grabWindow(0, at.x(), at.y(), width(), height()).toImage();
    if (shot.isNull()) return bitmap_file::cannotCreateMessage(path);
    return picture_file::writeOpaque(path, shot);
}
