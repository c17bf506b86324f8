#include "platform/japanese_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace japanese_font {

namespace {

// Preferred faces, best first: proportional gothics, then the other gothics.
// clang-format off
const char* const kPreferred[] = {
    "IPAPGothic",
    "IPA Pゴシック",
    "Noto Sans CJK JP",
    "IPAGothic",
    "IPAゴシック",
    "Noto Sans JP",
};
// clang-format on

}  // namespace

void registerSubstitutes() {
    static const bool done = [] {
        const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        QStringList substitutes;
        for (const char* name : kPreferred) {
            const QString family = QString::fromUtf8(name);
            if (japanese.contains(family, Qt::CaseInsensitive)) substitutes << family;
        }
        // Whatever else covers Japanese, so that an unusual installation still gets one.
        for (const QString& family : japanese) {
            if (!substitutes.contains(family, Qt::CaseInsensitive)) substitutes << family;
        }
        if (!substitutes.isEmpty()) QFont::insertSubstitutions(kRequestedFace, substitutes);
        return true;
    }();
    (void)done;
}

QFont requested(int pixels) {
    registerSubstitutes();
    QFont font(kRequestedFace);
    font.setPixelSize(pixels);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace japanese_font
