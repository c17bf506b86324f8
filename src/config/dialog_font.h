#pragma once

#include <QFont>

// The dialogs' font: the Windows face "ＭＳ Ｐゴシック", 12 pixels high (9 points on a 96 dpi
// screen). It is not installed here; installDialogFontSubstitutes, called once at start-up,
// lets the Japanese gothic faces the set-up installs stand in for it.
QFont dialogFont();
void installDialogFontSubstitutes();
