#pragma once

#include <QPixmap>
#include <QSize>

// The decorative pictures down the left side of the board's dialogs, drawn by the program
// itself: tiles of colours turning into their opposites for the extension tools, lines of
// writing under a pen for the text stamp, a dusk sky over a drawing board for the settings.
enum class SideArt { Filters, Text, Settings };

QPixmap sidePicture(SideArt art, QSize size);
