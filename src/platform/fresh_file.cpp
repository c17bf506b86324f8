#include "platform/fresh_file.h"

#include <QFile>
#include <QFileInfo>

namespace fresh_file {

namespace {
// Enough for any number of boards started at once; a folder with more such names is taken to
// be full.
constexpr int kMaxTries = 10000;
}  // namespace

QString create(const QString& folder, const QString& stem, const QString& suffix, QString& tried) {
    for (int n = 0; n < kMaxTries; ++n) {
        const QString name =
            folder + QLatin1Char('/') + stem + (n == 0 ? QString() : QString::number(n)) + suffix;
        tried = name;
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return name;
        // Taken: the next name. Any other failure would fail for every name.
        const QFileInfo info(name);
        if (!info.exists() && !info.isSymLink()) return {};
    }
    return {};
}

}  // namespace fresh_file
