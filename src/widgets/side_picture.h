#pragma once

#include <QPixmap>
#include <QSize>

// The decorative pictures down the left side of the board's tool dialogs, drawn by the program
// itself: tiles of colours turning into their opposites for the extension tools, lines of
// writing under a pen for the text stamp.
enum class SideArt { Filters, Text };

QPixmap sidePicture(SideArt art, QSize size);
