#pragma once

// A real board window on a real X server, driven tick by tick by the benchmarks.

#include <QPoint>
#include <QSize>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "fake_platform.h"
#include "window/tform1.h"

// Which picture the board holds while a case runs.
// Sparse: a few strokes. Dense: lines of text over the whole board. Speckle: about 150,000
// isolated pixels, one shape rectangle each.
enum class Picture { Sparse, Dense, Speckle };

class BenchBoard {
public:
    static constexpr QSize kClient{1600, 1200};

    // Shows the window with a 1600 × 1200 client area and waits until it is on screen with its
    // shape attached. The window's own timer is stopped: the benchmarks tick it themselves.
    BenchBoard();

    TForm1& form() { return form_; }
    BoardModel& model() { return form_.model(); }

    // Puts the cursor at a client point, as the global cursor the tick will read.
    void setCursor(QPoint client);
    // Lets the tick read the X server's pointer (true) or the benchmark's point (false).
    void useServerCursor(bool on) { platform_.serverCursor = on; }
    // Nothing under way, the given picture committed, on screen and in the shape.
    void reset(Picture picture);
    // Waits until the X server has done everything asked of it so far, including the reshape,
    // and lets the window handle what the server sent back (exposures) in between.
    void finishFrame();
    // One round trip to the X server.
    void roundTrip();
    // Number of rectangles that the window's bounding shape needs for the current picture.
    int shapeRectangles() const;
    // Maps (or unmaps) a screen-sized window beneath the board whose background the X server
    // never paints, standing for an application window under the board: pixels that leave the
    // board's shape then uncover it rather than the root window, which the server repaints.
    void setUnderlay(bool on);

private:
    void drawSparse();
    void drawDense();
    void drawSpeckle();

    // The tests' scripted platform: the cursor is wherever the benchmark puts it, or the X
    // server's pointer, read as the board itself reads it.
    struct Platform : FakePlatform {
        bool serverCursor = false;
        QPoint cursorPos() override {
            return serverCursor ? QtPlatform().cursorPos() : FakePlatform::cursorPos();
        }
    };
    Platform platform_;
    TForm1 form_;
    QPoint clientOrigin_;
    std::uint32_t underlay_ = 0;
};

// The X server's own CPU time in nanoseconds, when the wrapper told us its process id
// (VELMO_XSERVER_PID); -1 when unknown.
std::int64_t xServerCpuNs();

// Points of a closed path around the board, `count` of them, evenly spread.
std::vector<QPoint> ellipsePath(QPoint centre, int rx, int ry, int count);
