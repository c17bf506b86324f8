#pragma once

#include <QString>

// Where the board's help page is. Its place is fixed when the program is built: the installed
// copy, or, for an executable that runs from the build folder, the build tree's copy.
namespace help_page {

// The help page for an executable in `executableDir`.
QString path(const QString& executableDir);

}  // namespace help_page
