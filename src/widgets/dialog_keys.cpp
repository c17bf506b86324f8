#include "widgets/dialog_keys.h"

#include <QKeyEvent>
#include <QPushButton>

DialogKeys::DialogKeys(QWidget* dialog, std::function<void()> escape, std::function<void()> enter)
    : QObject(dialog), dialog_(dialog), escape_(std::move(escape)), enter_(std::move(enter)) {}

void DialogKeys::watch() {
    dialog_->installEventFilter(this);
    for (QWidget* w : dialog_->findChildren<QWidget*>())
        w->installEventFilter(this);
}

bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (key->key()) {
        case Qt::Key_Escape:
            escape_();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The key goes first to the control with the focus.
            if (auto* button = qobject_cast<QPushButton*>(watched)) {
                button->click();
            } else {
                enter_();
            }
            return true;
        default:
            return false;
    }
}
