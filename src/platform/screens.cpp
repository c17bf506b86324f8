#include "platform/screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace screens {

QList<QRect> deviceRects() {
    QList<QRect> out;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const qreal ratio = s->devicePixelRatio();
        out.append(QRect(g.topLeft(), QSize(static_cast<int>(std::lround(g.width() * ratio)),
                                            static_cast<int>(std::lround(g.height() * ratio)))));
    }
    return out;
}

QList<QRect> availableRects() {
    QList<QRect> out;
    for (const QScreen* s : QGuiApplication::screens())
        out.append(s->availableGeometry());
    return out;
}

QSize deviceDesktopSize() {
    QRect box;
    for (const QRect& r : deviceRects())
        box |= r;
    return box.size();
}

}  // namespace screens
