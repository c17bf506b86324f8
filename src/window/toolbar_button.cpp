#include "window/toolbar_button.h"

#include <QPainter>

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

    const QPoint shift = down ? QPoint(1, 1) : QPoint(0, 0);
    if (!icon().isNull()) {
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        const QPixmap pm = icon().pixmap(iconSize(), devicePixelRatio(), mode);
        const QSize s = pm.deviceIndependentSize().toSize();
        p.drawPixmap(
            QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2) + shift, s), pm);
    } else if (!text().isEmpty()) {
        p.setPen(isEnabled() ? Qt::black : QColor(0x80, 0x80, 0x80));
        p.drawText(rect().translated(shift), Qt::AlignCenter, text());
    }
}
