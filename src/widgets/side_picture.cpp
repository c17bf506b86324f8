#include "widgets/side_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

void background(QPainter& p, QSize size, QColor top, QColor bottom) {
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(QRect(QPoint(0, 0), size), gradient);
}

// Columns of tiles whose colours turn, row by row, into their negatives.
void drawFilters(QPainter& p, QSize size) {
    background(p, size, QColor(16, 48, 72), QColor(8, 16, 40));
    const QColor tiles[] = {QColor(230, 80, 60), QColor(250, 200, 60), QColor(70, 190, 110),
                            QColor(60, 140, 230)};
    const int side = 14, gap = 4;
    const int columns = std::max(1, (size.width() - gap) / (side + gap));
    const int left = (size.width() - columns * (side + gap) + gap) / 2;
    for (int row = 0; row * (side + gap) + 24 < size.height() - 24; ++row) {
        for (int c = 0; c < columns; ++c) {
            QColor colour = tiles[(row + c) % 4];
            const double mix = std::min(1.0, row / 9.0);
            colour.setRgb(int(colour.red() + (255 - 2 * colour.red()) * mix),
                          int(colour.green() + (255 - 2 * colour.green()) * mix),
                          int(colour.blue() + (255 - 2 * colour.blue()) * mix));
            p.fillRect(left + c * (side + gap), 24 + row * (side + gap), side, side, colour);
        }
    }
    p.setPen(QPen(QColor(255, 255, 255, 160), 2));
    p.drawLine(8, size.height() - 14, size.width() - 8, size.height() - 14);
}

// Lines of writing of falling length, with a pen nib over the last one.
void drawText(QPainter& p, QSize size) {
    background(p, size, QColor(72, 24, 56), QColor(200, 96, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 246, 230, 210));
    const int margin = 14;
    for (int line = 0; line < 9; ++line) {
        const int width = (size.width() - 2 * margin) * (9 - line % 4) / 9;
        p.drawRoundedRect(margin, 30 + line * 18, width, 5, 2, 2);
    }
    QPainterPath nib;
    const QPointF tip(size.width() * 0.62, 30 + 9 * 18 + 8);
    nib.moveTo(tip);
    nib.lineTo(tip + QPointF(-10, -30));
    nib.lineTo(tip + QPointF(0, -44));
    nib.lineTo(tip + QPointF(10, -30));
    nib.closeSubpath();
    p.setBrush(QColor(30, 20, 30));
    p.drawPath(nib);
    p.setBrush(QColor(255, 246, 230));
    p.drawEllipse(tip + QPointF(0, -26), 3, 3);
}

}  // namespace

QPixmap sidePicture(SideArt art, QSize size) {
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (art == SideArt::Filters)
        drawFilters(p, size);
    else
        drawText(p, size);
    return pixmap;
}
