#include "widgets/side_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QImage settingsSidePicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0.0, QColor(0x1d, 0x2b, 0x53));
    sky.setColorAt(0.55, QColor(0x7e, 0x4a, 0x8c));
    sky.setColorAt(1.0, QColor(0xf2, 0xa6, 0x5a));
    p.fillRect(image.rect(), sky);

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
    return image;
}
