#include <QProcess>

#include "platform/platform.h"

bool QtPlatform::startProcess(const QString& program, const QStringList& arguments,
                              const QString& workingDirectory) {
    return QProcess::startDetached(program, arguments, workingDirectory);
}
