#include "window/help_page.h"

#include <QFileInfo>

namespace help_page {

QString path(const QString& executableDir) {
    const QString here = QFileInfo(executableDir).canonicalFilePath();
    const QString buildDir = QFileInfo(QStringLiteral(VELMO_BUILD_BIN_DIR)).canonicalFilePath();
    if (!here.isEmpty() && here == buildDir) return QStringLiteral(VELMO_BUILD_HELP_PAGE);
    return QStringLiteral(VELMO_INSTALLED_HELP_PAGE);
}

}  // namespace help_page
