// The board and the screens: the picture covers the whole desktop, also when a screen is added
// or changes its size while the board runs.
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "picture/window_placement.h"
#include "platform/screens.h"
#include "widgets/bevel_panel.h"
#include "window/tform1.h"

void TForm1::watchScreens() {
    auto watch = [this](QScreen* s) {
        connect(s, &QScreen::geometryChanged, this, &TForm1::screensChanged);
    };
    for (QScreen* s : QGuiApplication::screens())
        watch(s);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* s) {
        watch(s);
        screensChanged();
    });
    // Queued: the screen is still in the list while the signal is sent.
    connect(qApp, &QGuiApplication::screenRemoved, this, &TForm1::screensChanged,
            Qt::QueuedConnection);
}

void TForm1::screensChanged() {
    model_.stores.coverDesktop(screens::deviceDesktopSize());
    if (!isVisible()) return;
    const QRect outer = frameGeometry();
    const QSize margins = outer.size() - size();
    const QRect onScreens =
        placement::onScreens(outer.topLeft(), outer.size(), screens::availableRects(),
                             smallestClient(toolbarShown()) + margins);
    if (onScreens == outer) return;
    if (onScreens.size() != outer.size()) resize(onScreens.size() - margins);
    move(onScreens.topLeft());
}

// The toolkit gives the window its geometry on the new screen after it has told of the screen:
// the board looks once that has arrived.
void TForm1::screenScaleChanged() {
    QTimer::singleShot(0, this, [this] {
        if (deviceSize() != model_.surface().image().size()) {
            FormResize();
            if (presenter_.shape().attached()) presenter_.attachShape();
            present();
        }
        screensChanged();
    });
}

QSize TForm1::deviceSize() const {
    return (QSizeF(size()) * devicePixelRatioF()).toSize();
}

// A point in screen coordinates as a picture point: client coordinates in device pixels.
QPoint TForm1::clientFromGlobal(QPoint global) const {
    return (QPointF(mapFromGlobal(global)) * devicePixelRatioF()).toPoint();
}

// The whole toolbar, or while it is folded away the tab that stands for it.
QSize TForm1::smallestClient(bool toolbar) const {
    return toolbar ? toolbarSize() : Pn_tatamu->size();
}
