#pragma once

#include <QList>
#include <QString>
#include <climits>
#include <span>
#include <variant>

#include "platform/ini_file.h"

// The board's settings: the runtime options and how they and the window's modes and geometry are
// kept in "config.ini" in the start-up folder. Every setting has one row in the table below,
// which gives its section and key, type, defaults and range; the structs' values at construction,
// the file's reading and writing, the settings dialog's values and ranges and the fuzz target's
// key list all come from that table.

// The option switches and the frame period, as the board runs with them. A new Options holds the
// values of a board started without a settings file.
struct Options {
    int TimerInterval{};  // period of the frame timer in milliseconds, as set (the timer clamps)
    bool ConfirmEraseAll{};
    bool ConfirmExitMenu{};
    bool ConfirmExitBox{};
    bool StampContinuous{};  // stamp stays active after a stamp is placed
    bool FillAtOnce{};       // fill commits on the first Shift press

    Options();
    bool operator==(const Options&) const = default;

protected:
    struct Unset {};
    explicit Options(Unset) {}  // the values are the derived constructor's to set
};

// Everything "config.ini" keeps: the options, the window's modes and outer geometry, and the
// stamp's transparency. A new BoardSettings holds the values of keys missing from the file.
struct BoardSettings : Options {
    bool border{};      // window frame shown
    bool alphablend{};  // translucent
    bool stayontop{};
    bool toolber{};  // toolbar shown (not folded away)
    int width{};     // outer size and position of the window, frame included
    int height{};
    int left{};
    int top{};
    bool transparent{};  // the stamp's key-coloured pixels are not pasted

    BoardSettings();
    bool operator==(const BoardSettings&) const = default;
};

namespace settings {

using Field = std::variant<bool BoardSettings::*, int BoardSettings::*>;

struct Key {
    const char* section;
    const char* key;
    Field field;
    int missing;  // the value when the key is missing or not an integer
    int start;    // the value without a settings file, for the options
    int min;      // the range the board uses (a stored value outside it is kept in the file)
    int max;
};

using S = BoardSettings;
inline constexpr int kAny = INT_MIN;  // no value of its own without a file: the window's start

// Every key, in the order written.
// clang-format off
inline constexpr Key kKeys[] = {
    // section     key            field                  missing  start  min      max
    {"form1",     "border",      &S::border,            1,       kAny,  0,       1},
    {"form1",     "alphablend",  &S::alphablend,        0,       kAny,  0,       1},
    {"form1",     "stayontop",   &S::stayontop,         0,       kAny,  0,       1},
    {"form1",     "toolber",     &S::toolber,           1,       kAny,  0,       1},
    {"form1",     "width",       &S::width,             640,     kAny,  1,       8192},
    {"form1",     "height",      &S::height,            400,     kAny,  1,       8192},
    {"form1",     "left",        &S::left,              0,       kAny,  INT_MIN, INT_MAX},
    {"form1",     "top",         &S::top,               0,       kAny,  INT_MIN, INT_MAX},
    {"preview",   "framerate",   &S::TimerInterval,     50,      25,    5,       5000},
    {"confirm",   "onEraseAll",  &S::ConfirmEraseAll,   1,       1,     0,       1},
    {"confirm",   "onExitMenu",  &S::ConfirmExitMenu,   1,       0,     0,       1},
    {"confirm",   "onExitBox",   &S::ConfirmExitBox,    0,       0,     0,       1},
    {"stump",     "continuous",  &S::StampContinuous,   0,       0,     0,       1},
    {"paste",     "transparent", &S::transparent,       1,       1,     0,       1},
    {"floodfill", "atonce",      &S::FillAtOnce,        0,       0,     0,       1},
};
// clang-format on

// The row of a key; the key must be in the table.
const Key& row(const char* key);

// A field's value as an integer (booleans as 0 and 1), and setting it from one.
int get(const BoardSettings& s, const Key& k);
void set(BoardSettings& s, const Key& k, int value);

// The file name of the settings in a start-up folder.
QString fileIn(const QString& startDir);

// Reads every key; a key that is missing or unreadable (and so every key of a file that cannot
// be read at all) takes its default, which is what a default-constructed BoardSettings holds.
BoardSettings read(const QString& path);

// The same, from a file's bytes already read.
BoardSettings fromProfile(const ini_file::Profile& profile);

// The keys with their values, in the order they are written.
QList<ini_file::Entry> entries(const BoardSettings& values);

// Writes all the keys, keeping everything else in the file. Returns an empty string, or the
// message for the error box; on failure the file is left as it was.
QString write(const QString& path, const BoardSettings& values);

// The frame timer's period for a stored one: stored values outside the row's range (a zero or
// negative one would spin a core) are brought to the nearer bound.
int timerPeriod(int stored);

}  // namespace settings
