#include "window/dialog_centring.h"

#include <QEvent>
#include <QWidget>

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
    const QRect frame = dialog_.frameGeometry(), client = dialog_.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

void DialogCentring::centre() {
    const QRect area = area_();
    if (area.isEmpty()) return;
    centredWith_ = frameMargins();
    dialog_.move(frameOrigin(dialog_.frameGeometry().size(), area));
}

bool DialogCentring::eventFilter(QObject* watched, QEvent* e) {
    const bool placed = e->type() == QEvent::Move || e->type() == QEvent::Resize;
    if (watched == &dialog_ && placed && dialog_.isVisible() && frameMargins() != centredWith_)
        centre();
    return QObject::eventFilter(watched, e);
}
