#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <span>

#include "platform/colour.h"

// A bitmap with its drawing state: the raster layer every part of the board draws through.
// Pixels are 32-bit opaque (QImage::Format_RGB32). Drawing is never antialiased.
// Every operation records the area it may have changed ("damage"), so that the owner can
// restore, present and reshape only what changed.
class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, TColor fill);

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QRect rect() const { return image_.rect(); }
    const QImage& image() const { return image_; }
    // Direct access for block transfers; callers must report what they change with addDamage.
    QImage& imageForWrite() { return image_; }

    TColor penColor() const { return penColor_; }
    void setPenColor(TColor c) { penColor_ = c; }
    int penWidth() const { return penWidth_; }
    void setPenWidth(int w) { penWidth_ = w < 1 ? 1 : w; }
    TColor brushColor() const { return brushColor_; }
    void setBrushColor(TColor c) { brushColor_ = c; }

    // Drawn transparently: when this bitmap is drawn onto another canvas, its pixels of
    // TransparentKey are skipped.
    bool transparent() const { return transparent_; }
    void setTransparent(bool on) { transparent_ = on; }

    // Pixels outside the canvas read as TransparentKey; writes there do nothing.
    TColor pixel(int x, int y) const;
    void setPixel(int x, int y, TColor c);

    // Right and bottom edges exclusive, with the brush colour.
    void fillRect(const QRect& r);
    // Dotted frame drawn by inverting pixels; drawing the same rectangle twice restores them.
    void focusRect(const QRect& r);

    void moveTo(QPoint p) { penPos_ = p; }
    void lineTo(QPoint p);
    QPoint penPos() const { return penPos_; }
    void polyline(std::span<const QPoint> points);
    // Outline of the ellipse inscribed in the box given by two corners in any order, drawn
    // counter-clockwise from the start radial to the end radial; equal radials close it.
    void arc(QPoint corner1, QPoint corner2, QPoint start, QPoint end);
    // Paints the 4-connected region of colour k around p with the brush.
    void floodFill(QPoint p, TColor k);
    // Draws src unscaled with its top-left corner at p, honouring src's transparency.
    void draw(QPoint p, const Canvas& src);
    // Copies a rectangle of src to the same rectangle here, pixel for pixel.
    void copyRect(const Canvas& src, const QRect& r);
    // New size: the picture stays at the top-left, new area takes the brush colour.
    void setSize(int width, int height);

    const QRegion& damage() const { return damage_; }
    QRegion takeDamage();
    void addDamage(const QRect& r);
    void addDamage(const QRegion& r);

private:
    void addLineDamage(QPoint a, QPoint b, int slack);
    void strokePath(const class QPainterPath& path);

    QImage image_;
    TColor penColor_ = 0;
    int penWidth_ = 1;
    TColor brushColor_ = TransparentKey;
    QPoint penPos_;
    bool transparent_ = false;
    QRegion damage_;
};

// Copies rect r of src onto the same rect of dst with row block moves, clipped to both.
// Returns the rectangle actually copied.
QRect blockCopy(const QImage& src, QImage& dst, const QRect& r);
// Fills r of dst (clipped) with one colour, row by row.
void blockFill(QImage& dst, const QRect& r, QRgb colour);
