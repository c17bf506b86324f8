#include "dialogs/text_stamp/text_stamp.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "platform/raster.h"

namespace text_stamp {

QFont drawingFont(const QFont& font) {
    QFont f = font;
    f.setStyleStrategy(QFont::StyleStrategy(f.styleStrategy() | QFont::NoAntialias));
    return f;
}

QSize textExtent(const QFont& font, const QString& text) {
    const QFontMetrics metrics(drawingFont(font));
    return {metrics.horizontalAdvance(text), metrics.height()};
}

QSize stampSize(QSize extent) {
    const int height = std::clamp(extent.height(), 0, kMaxSide);
    qint64 width = qint64(std::max(0, extent.width())) + std::max(0, extent.height());
    width = std::min<qint64>(width, kMaxSide);
    if (height > 0) width = std::min(width, kMaxPixels / height);
    return {static_cast<int>(width), height};
}

void drawText(QImage& image, QPoint at, const QString& text, const QFont& font, TColor colour) {
    if (image.isNull() || text.isEmpty()) return;
    const QFont f = drawingFont(font);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(f);
    painter.setPen(QColor::fromRgb(toQRgb(colour)));
    painter.drawText(at + QPoint(0, QFontMetrics(f).ascent()), text);
}

void drawPreview(QImage& preview, const QString& text, const FontChoice& font) {
    preview.fill(Qt::white);
    drawText(preview, QPoint(0, 0), text, font.font, font.colour);
}

void makeStamp(Canvas& stamp, const QString& text, const FontChoice& font) {
    const QSize size = stampSize(textExtent(font.font, text));
    stamp.setSize(size.width(), size.height());
    stamp.fillRect(stamp.rect());
    drawText(stamp.imageForWrite(), QPoint(0, 0), text, font.font, font.colour);
    stamp.addDamage(stamp.rect());
}

}  // namespace text_stamp
