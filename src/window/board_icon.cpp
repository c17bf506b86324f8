#include "window/board_icon.h"

QIcon boardIcon() {
    QIcon icon;
    // Each size drawn on its own, so small ones stay crisp rather than scaled down by Qt.
    for (const char* name : {"velmo-16.png", "velmo-32.png", "velmo-48.png", "velmo.png"})
        icon.addFile(QStringLiteral(":/icon/") + QLatin1String(name));
    return icon;
}
