#include "picture/settings.h"

#include <algorithm>
#include <cstring>

Options::Options() : Options(Unset{}) {
    BoardSettings values;
    for (const settings::Key& k : settings::kKeys)
        if (k.start != settings::kAny) settings::set(values, k, k.start);
    *this = static_cast<const Options&>(values);
}

BoardSettings::BoardSettings() : Options(Unset{}) {
    for (const settings::Key& k : settings::kKeys)
        settings::set(*this, k, k.missing);
}

namespace settings {

const Key& row(const char* key) {
    for (const Key& k : kKeys)
        if (std::strcmp(k.key, key) == 0) return k;
    std::abort();  // a key the program names must be in the table
}

int get(const BoardSettings& s, const Key& k) {
    if (const auto* b = std::get_if<bool S::*>(&k.field)) return s.*(*b) ? 1 : 0;
    return s.*std::get<int S::*>(k.field);
}

void set(BoardSettings& s, const Key& k, int value) {
    if (const auto* b = std::get_if<bool S::*>(&k.field))
        s.*(*b) = value != 0;
    else
        s.*std::get<int S::*>(k.field) = value;
}

QString fileIn(const QString& startDir) {
    return startDir + QStringLiteral("/config.ini");
}

BoardSettings read(const QString& path) {
    return fromProfile(ini_file::Profile::read(path));
}

BoardSettings fromProfile(const ini_file::Profile& profile) {
    BoardSettings values;
    for (const Key& k : kKeys)
        set(values, k, profile.readInteger(k.section, k.key, k.missing));
    return values;
}

QList<ini_file::Entry> entries(const BoardSettings& values) {
    QList<ini_file::Entry> list;
    for (const Key& k : kKeys) {
        const int v = get(values, k);
        const QByteArray text = std::holds_alternative<bool S::*>(k.field)
                                    ? ini_file::boolText(v != 0)
                                    : QByteArray::number(v);
        list << ini_file::Entry{k.section, k.key, text};
    }
    return list;
}

QString write(const QString& path, const BoardSettings& values) {
    return ini_file::write(path, entries(values));
}

int timerPeriod(int stored) {
    const Key& k = row("framerate");
    return std::clamp(stored, k.min, k.max);
}

}  // namespace settings
