#include <QCursor>

#include "platform.h"

QPoint QtPlatform::cursorPos() {
    return QCursor::pos();
}
