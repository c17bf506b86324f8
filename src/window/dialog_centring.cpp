#include "window/dialog_centring.h"

#include <QEvent>
#include <QWidget>

#include "platform/x11_info.h"

DialogCentring::DialogCentring(QWidget& dialog, std::function<QRect()> area)
    : QObject(&dialog), dialog_(dialog), area_(std::move(area)) {
    dialog.installEventFilter(this);
}

QPoint DialogCentring::frameOrigin(QSize frame, const QRect& area) {
    QRect placed(QPoint(0, 0), frame);
    placed.moveCenter(area.center());
    return placed.topLeft();
}

QMargins DialogCentring::frameMargins() const {
    // The manager's own word where it gives one: Qt's measure may have been taken half-way
    // through the framing and is not taken again.
    if (dialog_.isVisible() && dialog_.testAttribute(Qt::WA_WState_Created))
        if (const std::optional<QMargins> stated = x11::frameExtents(dialog_.winId()))
            return *stated;
    const QRect frame = dialog_.frameGeometry(), client = dialog_.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

void DialogCentring::centre() {
    watching_ = true;
    place();
}

void DialogCentring::place() {
    const QRect area = area_();
    if (area.isEmpty()) return;
    const QMargins m = frameMargins();
    centredWith_ = m;
    const QSize frame = dialog_.size().grownBy(m);
    // The client area's place: Qt's frame-based move would use its own measure of the frame.
    dialog_.setGeometry(
        QRect(frameOrigin(frame, area) + QPoint(m.left(), m.top()), dialog_.size()));
}

bool DialogCentring::eventFilter(QObject* watched, QEvent* e) {
    // A window manager may frame the dialog without moving its client area: the frame is
    // looked at again whenever the dialog is moved, painted or activated after its mapping.
    const QEvent::Type t = e->type();
    const bool placed = t == QEvent::Move || t == QEvent::Resize || t == QEvent::Paint ||
                        t == QEvent::ActivationChange;
    if (watching_ && watched == &dialog_ && placed && dialog_.isVisible()) {
        const QMargins m = frameMargins();
        if (m != centredWith_) place();
        // Framed: nothing more to wait for until the next opening.
        if (!m.isNull()) watching_ = false;
    }
    return QObject::eventFilter(watched, e);
}
