#include "window/board_presenter.h"

#include <QPainter>
#include <QWidget>

#include "picture/draw_state.h"
#include "picture/image_stores.h"
#include "platform/x11_info.h"
#include "platform/xwayland.h"
#include "window/device_pixels.h"

namespace {
// How long after start-up an outer size from the settings is still adjusted to the frame a
// window manager puts around the window.
constexpr int kOuterSizeMs = 3000;
// A window shape of more runs than this is set aside while the window moves or is reframed: the
// X server's cost of moving a shaped window grows with the square of its rectangles, some 50 ms
// at this count and several seconds at 40,000.
constexpr size_t kMaxRunsWhileMoving = 5000;
}  // namespace

BoardPresenter::BoardPresenter(QWidget& window, ImageStores& stores, const DrawState& state)
    : window_(window),
      stores_(stores),
      state_(state),
      composited_(x11::compositorRunning() || x11::isXWayland()) {
    // With a compositor the key colour is shown as clear alpha; this must be set before the
    // native window is created. Under XWayland the Wayland compositor shows every window with its
    // alpha channel, whether or not its X window manager claims to composite; and only an input
    // shape can be widened.
    if (composited_) window_.setAttribute(Qt::WA_TranslucentBackground);
}

// The painter works in device pixels: one picture pixel is one device pixel at every scale.
void BoardPresenter::paint(QPainter& painter, const QRegion& region) {
    const QImage& surface = stores_.surface().image();
    const qreal ratio = window_.devicePixelRatioF();
    const QRegion device = device_pixels::touched(region, ratio);
    if (ratio != 1.0) painter.scale(1.0 / ratio, 1.0 / ratio);
    if (!composited_) {
        for (const QRect& r : device)
            painter.drawImage(r.topLeft(), surface, r);
        return;
    }
    // Key pixels become fully clear; everything else stays opaque.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : device) {
        const QRect c = r.intersected(surface.rect());
        if (c.isEmpty()) continue;
        if (scratch_.width() < c.width() || scratch_.height() < c.height())
            scratch_ = QImage(std::max(scratch_.width(), c.width()),
                              std::max(scratch_.height(), c.height()),
                              QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < c.height(); ++y) {
            const QRgb* s =
                reinterpret_cast<const QRgb*>(surface.constScanLine(c.top() + y)) + c.left();
            QRgb* d = reinterpret_cast<QRgb*>(scratch_.scanLine(y));
            for (int x = 0; x < c.width(); ++x)
                d[x] = s[x] == TransparentKeyRgb ? 0u : s[x];
        }
        painter.drawImage(c.topLeft(), scratch_, QRect(0, 0, c.width(), c.height()));
    }
}

QRegion BoardPresenter::alwaysShown() const {
    QRegion shown;
    for (QObject* child : window_.children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w && w->isVisible() && !w->isWindow()) shown += w->geometry();
    }
    // Exactly the device pixels the controls are painted on: a row more at a fractional scale
    // would show the key colour beneath the toolbar, and take its clicks.
    return device_pixels::painted(shown, window_.devicePixelRatioF());
}

void BoardPresenter::attachShape() {
    if (!shape_.available()) return;
    shape_.attach(window_.winId(), (QSizeF(window_.size()) * window_.devicePixelRatioF()).toSize(),
                  composited_ ? WindowShape::Kind::Input : WindowShape::Kind::Bounding);
}

void BoardPresenter::present() {
    // Painting while the X server still works on the last reshape would wait for it (the backing
    // store syncs with the server before it reuses its shared memory). The changes stay in the
    // stores until a tick finds the server idle, and then go out together.
    if (shape_.attached() && shape_.busy()) return;
    const QRegion changed = stores_.takePresentDamage();
    if (!changed.isEmpty())
        window_.repaint(device_pixels::covering(changed, window_.devicePixelRatioF()));
    if (!shape_.attached()) return;
    const QRegion shown = alwaysShown();
    const QRegion controls = shown.xored(lastAlwaysShown_);
    lastAlwaysShown_ = shown;
    QRegion reshape = changed;
    if (composited_) {
        // The compositor shows the picture through its alpha channel; the shape only decides
        // where clicks land, and following the committed picture is enough for that. A moving
        // preview then costs no reshape: its pixels wait until they are committed or gone.
        inputPending_ += changed;
        reshape = stores_.settled(inputPending_);
        inputPending_ -= reshape;
    }
    // Where controls appeared or went away, the shape changes at once.
    reshape += controls;
    restoreShapeAfterMove();
    shapeDeferred_ = !shape_.update(stores_.surface().image(), TransparentKeyRgb, reshape, shown);
}

bool BoardPresenter::caughtUp() {
    if (shape_.attached() && (shapeDeferred_ || shape_.busy())) return false;
    return !stores_.presentPending();
}

// A dense picture leaves the window's shape while the window moves or its frame changes, and
// comes back once the move is over (the drag has ended and `ms` have passed).
void BoardPresenter::simplifyShape(int ms) {
    if (!shape_.simplify(alwaysShown(), kMaxRunsWhileMoving)) return;
    if (shapeSimpleUntil_.remainingTime() < ms) shapeSimpleUntil_.setRemainingTime(ms);
}

void BoardPresenter::restoreShapeAfterMove() {
    if (shape_.simplified() && shapeSimpleUntil_.hasExpired() && !state_.DragActive)
        shape_.restore();
}

// A window manager applies a frame change some time after it is asked to: until it has, the
// client area is put back where it was whenever it has moved.
void BoardPresenter::holdClientRect(const QRect& screenRect) {
    heldClientRect_ = screenRect;
    holdUntil_.setRemainingTime(kHoldMs);
    keepClientRect();
}

void BoardPresenter::keepGeometry(bool frameShown) {
    keepClientRect();
    keepOuterSize(frameShown);
}

void BoardPresenter::keepClientRect() {
    if (holdUntil_.hasExpired()) return;
    if (state_.DragActive) {
        holdUntil_ = QDeadlineTimer(0);  // expired: the user moves the window now
        return;
    }
    if (QRect(window_.mapToGlobal(QPoint(0, 0)), window_.size()) == heldClientRect_) return;
    simplifyShape(static_cast<int>(holdUntil_.remainingTime()));
    window_.setGeometry(heldClientRect_);
}

void BoardPresenter::wantOuterSize(QSize outer, QSize margins) {
    outerWanted_ = outer;
    outerMargins_ = margins;
    outerUntil_.setRemainingTime(kOuterSizeMs);
}

// Once a window manager has framed the window, the client area is sized so that the outer size
// is the one the settings asked for; a later frame change corrects it again, a user's resize
// (which leaves the frame as it is) is not undone.
void BoardPresenter::keepOuterSize(bool frameShown) {
    if (!outerWanted_.isValid() || outerUntil_.hasExpired()) {
        outerWanted_ = QSize();
        return;
    }
    const QSize margins = window_.frameGeometry().size() - window_.size();
    if (margins == outerMargins_) return;
    outerMargins_ = margins;
    if (!frameShown) return;
    window_.resize((outerWanted_ - margins).expandedTo(QSize(1, 1)));
}
