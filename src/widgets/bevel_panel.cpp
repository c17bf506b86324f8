#include "widgets/bevel_panel.h"

#include <QMouseEvent>
#include <QPainter>

// Raised: light top-left, dark bottom-right; lowered: the reverse, so the face looks pressed in.
void BevelPanel::drawBevel(QPainter& p, QRect r, bool lowered) {
    const QColor light(0xff, 0xff, 0xff), dark(0x40, 0x40, 0x40);
    const QColor& topLeft = lowered ? dark : light;
    const QColor& bottomRight = lowered ? light : dark;
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void BevelPanel::drawChosenFrame(QPainter& p, QRect r) {
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(Qt::white);
    p.drawRect(r.adjusted(1, 1, -2, -2));
}

BevelPanel::BevelPanel(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BevelPanel::setLook(Look look) {
    look_ = look;
    update();
}

void BevelPanel::setOuterLowered(bool lowered) {
    if (outerLowered_ == lowered) return;
    outerLowered_ = lowered;
    update();
}

void BevelPanel::setInnerLowered(bool lowered) {
    if (innerLowered_ == lowered) return;
    innerLowered_ = lowered;
    update();
}

void BevelPanel::setBevels(bool outer, bool inner) {
    hasOuter_ = outer;
    hasInner_ = inner;
    update();
}

void BevelPanel::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void BevelPanel::setColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void BevelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // A pressed toggle shows a darker face as well as lowered bevels.
    const bool pressed = look_ == Look::Toggle && hasInner_ && innerLowered_ && outerLowered_;
    p.fillRect(rect(), pressed ? pressedFace(colour_) : colour_);
    if (look_ == Look::Swatch && outerLowered_) {
        drawChosenFrame(p, rect());
        if (hasInner_) drawBevel(p, rect().adjusted(2, 2, -2, -2), innerLowered_);
    } else {
        QRect r = rect();
        if (hasOuter_) {
            drawBevel(p, r, outerLowered_);
            r.adjust(1, 1, -1, -1);
        }
        if (hasInner_) drawBevel(p, r, innerLowered_);
    }
    if (!caption_.isEmpty()) {
        QFont f = font();
        f.setPixelSize(std::max(9, std::min(12, height() - 2)));
        p.setFont(f);
        // Black on light faces; on a dark face (a black or navy pen colour shown in a cell) the
        // caption is written in white so that it stays readable.
        p.setPen(qGray(colour_.rgb()) < 64 ? Qt::white : Qt::black);
        p.drawText(rect(), Qt::AlignCenter, caption_);
    }
}

void BevelPanel::mousePressEvent(QMouseEvent* e) {
    if (onPress) onPress(e->button(), e->globalPosition().toPoint());
    e->accept();
}

void BevelPanel::mouseReleaseEvent(QMouseEvent* e) {
    if (onRelease) onRelease(e->button());
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && onClick)
        onClick();
    e->accept();
}
