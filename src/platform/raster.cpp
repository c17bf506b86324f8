#include "platform/raster.h"

#include "platform/picture_memory.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Length of the pieces a stroke's damage is split into: long diagonal strokes then damage a
// thin band of small rectangles instead of their whole bounding box.
constexpr int kDamagePiece = 64;

QRect normalisedBox(QPoint a, QPoint b) {
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QPen penFor(TColor colour, int width) {
    QPen pen(QColor::fromRgb(toQRgb(colour)));
    pen.setWidth(width);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(width > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    return pen;
}

}  // namespace

Canvas::Canvas(int width, int height, TColor fill)
    : image_(picture_memory::newRgb32(width, height)), brushColor_(fill) {
    image_.fill(toQRgb(fill));
}

TColor Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return TransparentKey;
    return fromQRgb(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

void Canvas::setPixel(int x, int y, TColor c) {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = toQRgb(c);
    damage_ += QRect(x, y, 1, 1);
}

void Canvas::fillRect(const QRect& r) {
    const QRect clipped = r.normalized().intersected(rect());
    if (clipped.isEmpty()) return;
    blockFill(image_, clipped, toQRgb(brushColor_));
    damage_ += clipped;
}

void Canvas::focusRect(const QRect& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    const int l = r.left(), t = r.top(), rr = r.left() + r.width() - 1,
              bb = r.top() + r.height() - 1;
    auto invert = [this](int x, int y) {
        if (x < 0 || y < 0 || x >= width() || y >= height() || ((x + y) & 1)) return;
        auto* px = reinterpret_cast<QRgb*>(image_.scanLine(y)) + x;
        *px ^= 0x00ffffffu;
    };
    for (int x = l; x <= rr; ++x) {
        invert(x, t);
        if (bb != t) invert(x, bb);
    }
    for (int y = t + 1; y < bb; ++y) {
        invert(l, y);
        if (rr != l) invert(rr, y);
    }
    damage_ += QRect(l, t, rr - l + 1, 1);
    damage_ += QRect(l, bb, rr - l + 1, 1);
    damage_ += QRect(l, t, 1, bb - t + 1);
    damage_ += QRect(rr, t, 1, bb - t + 1);
}

void Canvas::lineTo(QPoint p) {
    const QPoint from = penPos_;
    penPos_ = p;
    if (from == p) {
        // A line of no length leaves a dot of the pen's width, as a pen touching down would.
        if (penWidth_ <= 1) {
            setPixel(p.x(), p.y(), penColor_);
            return;
        }
        QPainter painter(&image_);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(toQRgb(penColor_)));
        const double r = penWidth_ / 2.0;
        painter.drawEllipse(QPointF(p.x() + 0.5, p.y() + 0.5), r, r);
        addLineDamage(p, p, penWidth_ / 2 + 2);
        return;
    }
    QPainter painter(&image_);
    painter.setPen(penFor(penColor_, penWidth_));
    painter.drawLine(from, p);
    addLineDamage(from, p, penWidth_ / 2 + 2);
}

void Canvas::polyline(std::span<const QPoint> points) {
    if (points.empty()) return;
    QPainter painter(&image_);
    painter.setPen(penFor(penColor_, penWidth_));
    painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    for (size_t i = 1; i < points.size(); ++i)
        addLineDamage(points[i - 1], points[i], penWidth_ / 2 + 2);
    if (points.size() == 1) addLineDamage(points[0], points[0], penWidth_ / 2 + 2);
}

void Canvas::arc(QPoint corner1, QPoint corner2, QPoint start, QPoint end) {
    const QRect box = normalisedBox(corner1, corner2);
    const double w = box.right() - box.left(), h = box.bottom() - box.top();
    if (w <= 0 || h <= 0) return;  // an ellipse of no area has no outline to draw
    const QRectF frame(box.left(), box.top(), w, h);
    const QPointF c = frame.center();
    auto angleOf = [&c](QPoint p) {
        return std::atan2(-(p.y() - c.y()), p.x() - c.x()) * 180.0 / M_PI;
    };
    const double a0 = angleOf(start), a1 = angleOf(end);
    double sweep = std::fmod(a1 - a0 + 720.0, 360.0);
    if (sweep <= 1e-9) sweep = 360.0;
    QPainterPath path;
    path.arcMoveTo(frame, a0);
    path.arcTo(frame, a0, sweep);
    strokePath(path);
}

void Canvas::strokePath(const QPainterPath& path) {
    QPainter painter(&image_);
    painter.setPen(penFor(penColor_, penWidth_));
    painter.drawPath(path);
    const int slack = penWidth_ / 2 + 3;
    for (const QPolygonF& poly : path.toSubpathPolygons()) {
        for (int i = 1; i < poly.size(); ++i)
            addLineDamage(poly[i - 1].toPoint(), poly[i].toPoint(), slack);
    }
}

void Canvas::floodFill(QPoint p, TColor k) {
    if (!rect().contains(p) || pixel(p.x(), p.y()) != k) return;
    const QRgb target = toQRgb(k);
    const QRgb paint = toQRgb(brushColor_);
    if (target == paint) return;  // nothing would change
    const int w = width(), h = height();
    int minX = p.x(), maxX = p.x(), minY = p.y(), maxY = p.y();
    std::vector<QPoint> stack{p};
    auto row = [this](int y) { return reinterpret_cast<QRgb*>(image_.scanLine(y)); };
    while (!stack.empty()) {
        const QPoint s = stack.back();
        stack.pop_back();
        QRgb* line = row(s.y());
        if (line[s.x()] != target) continue;
        int x0 = s.x(), x1 = s.x();
        while (x0 > 0 && line[x0 - 1] == target)
            --x0;
        while (x1 < w - 1 && line[x1 + 1] == target)
            ++x1;
        std::fill(line + x0, line + x1 + 1, paint);
        minX = std::min(minX, x0);
        maxX = std::max(maxX, x1);
        minY = std::min(minY, s.y());
        maxY = std::max(maxY, s.y());
        for (int ny : {s.y() - 1, s.y() + 1}) {
            if (ny < 0 || ny >= h) continue;
            const QRgb* next = row(ny);
            // One seed per run of target pixels in the neighbouring row.
            for (int x = x0; x <= x1; ++x) {
                if (next[x] == target && (x == x0 || next[x - 1] != target))
                    stack.emplace_back(x, ny);
            }
        }
    }
    damage_ += QRect(QPoint(minX, minY), QPoint(maxX, maxY));
}

void Canvas::draw(QPoint p, const Canvas& src) {
    const QRect target = QRect(p, src.image_.size()).intersected(rect());
    if (target.isEmpty()) return;
    if (!src.transparent_) {
        for (int y = target.top(); y <= target.bottom(); ++y) {
            std::memcpy(reinterpret_cast<QRgb*>(image_.scanLine(y)) + target.left(),
                        reinterpret_cast<const QRgb*>(src.image_.constScanLine(y - p.y())) +
                            (target.left() - p.x()),
                        static_cast<size_t>(target.width()) * sizeof(QRgb));
        }
    } else {
        for (int y = target.top(); y <= target.bottom(); ++y) {
            QRgb* d = reinterpret_cast<QRgb*>(image_.scanLine(y)) + target.left();
            const QRgb* s = reinterpret_cast<const QRgb*>(src.image_.constScanLine(y - p.y())) +
                            (target.left() - p.x());
            for (int i = 0; i < target.width(); ++i) {
                if (s[i] != TransparentKeyRgb) d[i] = s[i];
            }
        }
    }
    damage_ += target;
}

void Canvas::copyRect(const Canvas& src, const QRect& r) {
    const QRect done = blockCopy(src.image_, image_, r);
    if (!done.isEmpty()) damage_ += done;
}

void Canvas::setSize(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == width() && h == height()) return;
    QImage next = picture_memory::newRgb32(w, h);
    next.fill(toQRgb(brushColor_));
    blockCopy(image_, next, QRect(0, 0, w, h));
    image_ = std::move(next);
    damage_ = QRegion(rect());
}

QRegion Canvas::takeDamage() {
    QRegion out;
    std::swap(out, damage_);
    return out;
}

void Canvas::addDamage(const QRect& r) {
    damage_ += r.intersected(rect());
}
void Canvas::addDamage(const QRegion& r) {
    damage_ += r.intersected(rect());
}

void Canvas::addLineDamage(QPoint a, QPoint b, int slack) {
    const QRect bounds = rect();
    const double len = std::hypot(double(b.x() - a.x()), double(b.y() - a.y()));
    const int pieces = std::max(1, static_cast<int>(std::ceil(len / kDamagePiece)));
    QPoint prev = a;
    for (int i = 1; i <= pieces; ++i) {
        const QPoint next(
            a.x() + static_cast<int>(std::lround(double(b.x() - a.x()) * i / pieces)),
            a.y() + static_cast<int>(std::lround(double(b.y() - a.y()) * i / pieces)));
        const QRect piece = normalisedBox(prev, next).adjusted(-slack, -slack, slack, slack);
        const QRect clipped = piece.intersected(bounds);
        if (!clipped.isEmpty()) damage_ += clipped;
        prev = next;
    }
}

QRect blockCopy(const QImage& src, QImage& dst, const QRect& r) {
    const QRect c = r.normalized().intersected(src.rect()).intersected(dst.rect());
    if (c.isEmpty()) return {};
    const size_t bytes = static_cast<size_t>(c.width()) * sizeof(QRgb);
    for (int y = c.top(); y <= c.bottom(); ++y) {
        std::memcpy(reinterpret_cast<QRgb*>(dst.scanLine(y)) + c.left(),
                    reinterpret_cast<const QRgb*>(src.constScanLine(y)) + c.left(), bytes);
    }
    return c;
}

void blockFill(QImage& dst, const QRect& r, QRgb colour) {
    const QRect c = r.normalized().intersected(dst.rect());
    if (c == dst.rect()) {
        dst.fill(colour);  // a whole picture: Qt's own fill is the fastest
        return;
    }
    for (int y = c.top(); y <= c.bottom(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(dst.scanLine(y)) + c.left();
        std::fill(line, line + c.width(), colour);
    }
}
