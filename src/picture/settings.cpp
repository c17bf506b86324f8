#include "picture/settings.h"

#include <algorithm>
#include <variant>

namespace settings {

namespace {

using Field = std::variant<bool BoardSettings::*, int BoardSettings::*>;

struct Key {
    const char* section;
    const char* key;
    int missing;  // the value when the key is missing or not an integer
    Field field;
};

using S = BoardSettings;

// Every key, in the order written. The defaults are those of a BoardSettings as constructed;
// a test holds the two together.
// clang-format off
constexpr Key kKeys[] = {
    // section      key            missing  field
    {"form1",       "border",      1,       &S::border},
    {"form1",       "alphablend",  0,       &S::alphablend},
    {"form1",       "stayontop",   0,       &S::stayontop},
    {"form1",       "toolber",     1,       &S::toolber},
    {"form1",       "width",       640,     &S::width},
    {"form1",       "height",      400,     &S::height},
    {"form1",       "left",        0,       &S::left},
    {"form1",       "top",         0,       &S::top},
    {"preview",     "framerate",   50,      &S::framerate},
    {"confirm",     "onEraseAll",  1,       &S::onEraseAll},
    {"confirm",     "onExitMenu",  1,       &S::onExitMenu},
    {"confirm",     "onExitBox",   0,       &S::onExitBox},
    {"stump",       "continuous",  0,       &S::continuous},
    {"paste",       "transparent", 1,       &S::transparent},
    {"floodfill",   "atonce",      0,       &S::atonce},
};
// clang-format on

constexpr int kMinPeriod = 5;
constexpr int kMaxPeriod = 5000;

}  // namespace

QString fileIn(const QString& startDir) {
    return startDir + QStringLiteral("/config.ini");
}

BoardSettings read(const QString& path) {
    return fromProfile(ini_file::Profile::read(path));
}

BoardSettings fromProfile(const ini_file::Profile& profile) {
    BoardSettings values;
    for (const Key& k : kKeys) {
        const int v = profile.readInteger(k.section, k.key, k.missing);
        if (const auto* b = std::get_if<bool S::*>(&k.field))
            values.*(*b) = v != 0;
        else
            values.*std::get<int S::*>(k.field) = v;
    }
    return values;
}

QList<ini_file::Entry> entries(const BoardSettings& values) {
    QList<ini_file::Entry> list;
    for (const Key& k : kKeys) {
        QByteArray text;
        if (const auto* b = std::get_if<bool S::*>(&k.field))
            text = ini_file::boolText(values.*(*b));
        else
            text = QByteArray::number(values.*std::get<int S::*>(k.field));
        list << ini_file::Entry{k.section, k.key, text};
    }
    return list;
}

QString write(const QString& path, const BoardSettings& values) {
    return ini_file::write(path, entries(values));
}

int timerPeriod(int stored) {
    return std::clamp(stored, kMinPeriod, kMaxPeriod);
}

}  // namespace settings
