#include <QApplication>
#include <QCursor>
#include <QMessageBox>

#include "platform.h"

QPoint QtPlatform::cursorPos() {
    return QCursor::pos();
}

void QtPlatform::showError(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
}
