#pragma once

#include <QFont>
#include <QString>

// The board's requested Japanese face, "ＭＳ Ｐゴシック", and how it is found on this platform.
//
// Qt has no per-font character set: a request for the Shift-JIS set becomes a request for the
// Japanese writing system. The face name stays as requested; the first call here registers, as
// Qt font substitutes for it, the installed families that cover Japanese, proportional gothic
// faces first (the set-up installs IPA P Gothic). Text in that face is then drawn by the
// Japanese gothic, whatever fontconfig would have picked for an unknown name.
namespace japanese_font {

inline const QString kRequestedFace = QStringLiteral("ＭＳ Ｐゴシック");

// Registers the substitutes once; later calls do nothing.
void registerSubstitutes();
// The requested face at `pixels` pixels, no bold, italic, underline or strike-out.
QFont requested(int pixels = 12);

}  // namespace japanese_font
