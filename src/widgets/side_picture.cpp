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

// A dusk sky over a drawing board, a pen and a few strokes.
void drawSettings(QPainter& p, QSize size) {
    const int width = size.width();
    const int height = size.height();
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0.0, QColor(0x1d, 0x2b, 0x53));
    sky.setColorAt(0.55, QColor(0x7e, 0x4a, 0x8c));
    sky.setColorAt(1.0, QColor(0xf2, 0xa6, 0x5a));
    p.fillRect(QRect(QPoint(0, 0), size), sky);

    // A few stars in the upper half, placed by a fixed rule so the strip never changes.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 240, 200));
    for (int i = 0; i < 14; ++i) {
        const int x = (i * 37 + 11) % width;
        const int y = (i * 53 + 7) % (height / 2);
        const qreal r = 0.8 + (i % 3) * 0.5;
        p.drawEllipse(QPointF(x, y), r, r);
    }

    // The board: a pale sheet seen a little from the side, with strokes on it.
    const QPolygonF sheet(
        {QPointF(14, 118), QPointF(width - 10, 104), QPointF(width - 16, 204), QPointF(8, 214)});
    p.setBrush(QColor(0xcc, 0xff, 0xff, 150));
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.5));
    p.drawPolygon(sheet);
    p.setBrush(Qt::NoBrush);
    QPainterPath wave;
    wave.moveTo(22, 180);
    wave.cubicTo(40, 140, 60, 200, 88, 150);
    p.setPen(QPen(QColor(0xd9, 0x3a, 0x3a), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wave);
    p.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawEllipse(QRectF(52, 124, 30, 22));
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(26, 134), QPointF(50, 130));

    // The pen, resting across the sheet's corner.
    p.save();
    p.translate(78, 222);
    p.rotate(-38);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xc4, 0x30));
    p.drawRoundedRect(QRectF(0, -4, 46, 8), 2, 2);
    p.setBrush(QColor(0xe8, 0xd0, 0xa8));
    p.drawPolygon(QPolygonF({QPointF(0, -4), QPointF(-10, 0), QPointF(0, 4)}));
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawPolygon(QPolygonF({QPointF(-7, -1.2), QPointF(-10, 0), QPointF(-7, 1.2)}));
    p.restore();
}

}  // namespace

QPixmap sidePicture(SideArt art, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        switch (art) {
            case SideArt::Filters:
                drawFilters(p, size);
                break;
            case SideArt::Text:
                drawText(p, size);
                break;
            case SideArt::Settings:
                drawSettings(p, size);
                break;
        }
    }
    return QPixmap::fromImage(image);
}
