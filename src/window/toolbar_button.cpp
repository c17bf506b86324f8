#include "window/toolbar_button.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "widgets/bevel_panel.h"

ToolbarButton::ToolbarButton(QWidget* parent) : QToolButton(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor ToolbarButton::upFace() {
    return BevelPanel::faceColour();
}

QColor ToolbarButton::downFace() {
    return BevelPanel::pressedFace(BevelPanel::faceColour());
}

void ToolbarButton::enterEvent(QEnterEvent* e) {
    hovered_ = true;
    update();
    QToolButton::enterEvent(e);
}

void ToolbarButton::leaveEvent(QEvent* e) {
    hovered_ = false;
    update();
    QToolButton::leaveEvent(e);
}

void ToolbarButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool down = isDown() || isChecked();
    QColor face = down ? downFace() : upFace();
    // Hovering only lightens an up face a little: it must never pass for "down".
    if (!down && hovered_ && isEnabled()) face = face.lighter(106);
    p.fillRect(rect(), face);
    QRect r = rect();
    BevelPanel::drawBevel(p, r, down);
    if (down) BevelPanel::drawBevel(p, r.adjusted(1, 1, -1, -1), true);

    if (!icon().isNull()) {
        drawGlyph(p, down);
    } else if (!text().isEmpty()) {
        const QPoint shift = down ? QPoint(1, 1) : QPoint(0, 0);
        p.setPen(isEnabled() ? Qt::black : QColor(0x80, 0x80, 0x80));
        p.drawText(rect().translated(shift), Qt::AlignCenter, text());
    }
}

// The 16 x 16 glyph at the largest whole multiple not above the screen's scale (at least 1),
// nearest neighbour, on whole device pixels, centred: at 2 each glyph pixel is a two by two
// block, at 1.25 or 1.5 one device pixel. Left to the painter, a glyph would be stretched to
// 20 or 24 device pixels with some of its lines twice as wide as others, or smoothed into greys.
// Pushed in, it moves by one glyph pixel.
void ToolbarButton::drawGlyph(QPainter& p, bool down) {
    // The painter's own scale: that of the screen the window is on, or of the image the button
    // is rendered into.
    const qreal ratio = p.deviceTransform().m11();
    const int factor = std::max(1, static_cast<int>(std::floor(ratio + 1e-9)));
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    QImage glyph = icon().pixmap(iconSize(), 1.0, mode).toImage();
    if (factor > 1)
        glyph = glyph.scaled(glyph.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    glyph.setDevicePixelRatio(1.0);

    // In device pixels from here on; the button itself may start between two of them.
    p.save();
    p.scale(1.0 / ratio, 1.0 / ratio);
    const QPointF origin = p.deviceTransform().map(QPointF(0, 0));
    const QSizeF area = QSizeF(size()) * ratio;
    const int push = down ? factor : 0;
    const QPoint at(
        static_cast<int>(std::floor(origin.x() + (area.width() - glyph.width()) / 2)) + push,
        static_cast<int>(std::floor(origin.y() + (area.height() - glyph.height()) / 2)) + push);
    p.drawImage(QPointF(at) - origin, glyph);
    p.restore();
}
