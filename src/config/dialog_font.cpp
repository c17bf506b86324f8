#include "dialog_font.h"

#include <QStringList>

namespace {
const QString kFace = QStringLiteral("ＭＳ Ｐゴシック");
}

QFont dialogFont() {
    QFont font(kFace);
    font.setPixelSize(12);
    return font;
}

void installDialogFontSubstitutes() {
    // Proportional first, as the face asked for is.
    QFont::insertSubstitutions(kFace,
                               {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("IPAGothic")});
}
