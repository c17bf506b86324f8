#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QMessageBox>

#include "platform.h"

QPoint QtPlatform::cursorPos() {
    return QCursor::pos();
}

void QtPlatform::showError(const QString& message) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
}

bool QtPlatform::chooseColour(TColor initial, TColor& chosen) {
    const QColor colour =
        QColorDialog::getColor(QColor::fromRgb(toQRgb(initial)), QApplication::activeWindow());
    if (!colour.isValid()) return false;
    chosen = fromQRgb(colour.rgb());
    return true;
}
