#pragma once

#include <QImage>
#include <QRegion>
#include <QSize>
#include <QWindow>
#include <memory>

#include "platform/shape_mirror.h"

// Keeps an X11 window's shape equal to the pixels of a picture that are not the key colour, plus
// areas that must always show (child controls). Without a compositor it sets the bounding shape
// (the key pixels are then invisible and click-through); with one it sets the input shape only.
//
// Only the changed area is looked at, and only the pixels there that leave or join the shape are
// sent; a large change goes as a 1-bit mask. Reshaping costs the X server time that grows with the
// number of rectangles in the shape, so at most one reshape is outstanding: changes that arrive
// while the server is still busy are gathered and sent together once it has caught up.
class WindowShape {
public:
    enum class Kind { Bounding, Input };

    WindowShape();
    ~WindowShape();
    WindowShape(const WindowShape&) = delete;
    WindowShape& operator=(const WindowShape&) = delete;

    // Whether the X SHAPE extension can be used on this display.
    bool available() const;

    // (Re)binds to a native window of the given size; the next update rebuilds the whole shape.
    void attach(WId window, QSize size, Kind kind);
    void detach();
    bool attached() const;

    // Brings the shape up to date. `changed` is where the picture or the always-shown area changed
    // since the last call. Returns false when the change was deferred because the server is busy.
    bool update(const QImage& picture, QRgb key, const QRegion& changed,
                const QRegion& alwaysShown);
    // Sends what was deferred, if the server has caught up.
    bool flushPending(const QImage& picture, QRgb key, const QRegion& alwaysShown);

    // Moving or resizing a window whose bounding shape holds many rectangles costs the X server
    // time that grows with the square of their number, whenever other windows share the screen
    // (seconds for 40,000, minutes for a few hundred thousand), and the whole display waits
    // meanwhile. So while the window is moved or reframed, a bounding shape of more than
    // `maxRuns` runs is replaced by `simple`: changes are then gathered, and after restore()
    // the next update sends the whole shape again. Returns whether the shape is simplified.
    bool simplify(const QRegion& simple, size_t maxRuns);
    bool simplified() const;
    void restore();

    // While on, an input shape covers the whole window whatever the picture, so that the pointer
    // goes to the window wherever it is over it; changes are gathered meanwhile, and once off
    // the next update sends the whole shape again. A bounding shape is left alone: outside it
    // there is no window to take the pointer. Returns whether the input shape covers the window.
    bool coverWhole(bool on);
    bool coversWhole() const;
    // Whether the shape as last sent from the picture holds the point: while the whole window is
    // covered, the shape that comes back afterwards.
    bool pictureShapeHolds(QPoint p) const;

    // True while the last reshape has not yet been processed by the X server.
    bool busy();
    // Waits until the X server has processed the last reshape (tests and benchmarks).
    void sync();

    // The number of rectangles sent by the last update (0 for a mask update or no change).
    int lastRectangleCount() const;
    bool lastWasFullMask() const;
    // How many reshapes have been sent so far.
    long reshapeCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
