#pragma once

#include <QDeadlineTimer>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>

#include "platform/window_shape.h"

class QPainter;
class QWidget;
class ImageStores;
struct DrawState;

// How the board window shows its picture: it paints the surface with the colour key (as the key
// colour itself without a compositor, where the window's bounding shape leaves those pixels out;
// as clear alpha with one, where only the input shape follows the picture), keeps the window's
// X11 shape in step with what changed, sets a dense shape aside while the window moves, and keeps
// the window's client area and outer size where they belong while a window manager (re)frames it.
class BoardPresenter {
public:
    // How long after a frame or stacking change the client area is held in place: long enough
    // for a window manager to reframe the window, short enough not to fight the user moving it.
    static constexpr int kHoldMs = 1000;

    // Call before the window's native window is made: with a compositor the window needs an
    // alpha channel from the start.
    BoardPresenter(QWidget& window, ImageStores& stores, const DrawState& state);

    bool composited() const { return composited_; }
    WindowShape& shape() { return shape_; }
    const WindowShape& shape() const { return shape_; }

    // Paints the surface over `region` of the window.
    void paint(QPainter& painter, const QRegion& region);
    // Sends what changed on the surface to the screen and to the window's shape.
    void present();
    // Binds the shape to the window's native window, as it is now.
    void attachShape();
    // The window's child controls: always part of the window's shape, whatever the surface holds.
    QRegion alwaysShown() const;

    // A dense shape is set aside while the window moves or is reframed, for at least `ms`; it
    // comes back at the first present after that once no drag is under way.
    void simplifyShape(int ms);

    // Holds the client area at this screen rectangle for a while, putting it back whenever a
    // window manager's frame change moves it.
    void holdClientRect(const QRect& screenRect);
    void releaseClientRect() { holdUntil_ = QDeadlineTimer(0); }
    // The outer size the settings asked for, with the frame's margins as they are now: the client
    // area is sized to it again when a window manager frames the window shortly after.
    void wantOuterSize(QSize outer, QSize margins);
    // Called every tick: puts the client area and the outer size back where they are held.
    void keepGeometry(bool frameShown);
    // Whether all that was drawn has reached the screen and the window's shape: until it has, the
    // ticks must go on to send the rest.
    bool caughtUp();
    // Whether keepGeometry still holds a client area or an outer size: the ticks must go on.
    bool keepingGeometry() const {
        return !holdUntil_.hasExpired() || (outerWanted_.isValid() && !outerUntil_.hasExpired());
    }

private:
    void keepClientRect();
    void keepOuterSize(bool frameShown);
    void restoreShapeAfterMove();

    QWidget& window_;
    ImageStores& stores_;
    const DrawState& state_;
    bool composited_ = false;
    WindowShape shape_;
    QRegion lastAlwaysShown_;
    QRegion inputPending_;  // changed pixels the input shape has not taken yet
    QImage scratch_;        // key colour turned clear, when a compositor shows the window
    QDeadlineTimer shapeSimpleUntil_{0};  // a dense shape stays set aside until then

    // Client rectangle on the screen to keep while a window manager settles a frame change.
    QRect heldClientRect_;
    QDeadlineTimer holdUntil_{0};  // expired unless a client area is being held
    // Outer size asked for by the settings, kept for a while after start-up: a window manager
    // tells the size of its frame only once it has framed the window.
    QSize outerWanted_;
    QSize outerMargins_;
    QDeadlineTimer outerUntil_{0};
    bool shapeDeferred_ = false;  // the last shape update waits for the server
};
