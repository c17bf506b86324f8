#pragma once

#include <QList>
#include <QString>

#include "platform/ini_file.h"

// The board's persistent settings, as kept in "config.ini" in the start-up folder: window modes
// and geometry, the frame period, the five option switches and the stamp's transparency.
struct BoardSettings {
    bool border = true;       // window frame shown
    bool alphablend = false;  // translucent
    bool stayontop = false;
    bool toolber = true;  // toolbar shown (not folded away)
    int width = 640;      // outer size and position of the window, frame included
    int height = 400;
    int left = 0;
    int top = 0;
    int framerate = 50;  // period of the frame timer in milliseconds, as stored
    bool onEraseAll = true;
    bool onExitMenu = true;
    bool onExitBox = false;
    bool continuous = false;  // stamp stays active after a stamp is placed
    bool transparent = true;  // the stamp's key-coloured pixels are not pasted
    bool atonce = false;      // fill commits on the first Shift press

    bool operator==(const BoardSettings&) const = default;
};

namespace settings {

// The file name of the settings in a start-up folder.
QString fileIn(const QString& startDir);

// Reads every key; a key that is missing or unreadable (and so every key of a file that cannot
// be read at all) takes its default, which is what a default-constructed BoardSettings holds.
BoardSettings read(const QString& path);

// The same, from a file's bytes already read.
BoardSettings fromProfile(const ini_file::Profile& profile);

// The fifteen keys with their values, in the order they are written.
QList<ini_file::Entry> entries(const BoardSettings& values);

// Writes all fifteen keys, keeping everything else in the file. Returns an empty string, or the
// message for the error box; on failure the file is left as it was.
QString write(const QString& path, const BoardSettings& values);

// The frame timer's period for a stored one: stored values outside 5 to 5000 ms (a zero or
// negative one would spin a core) are brought to the nearer bound.
int timerPeriod(int stored);

}  // namespace settings
