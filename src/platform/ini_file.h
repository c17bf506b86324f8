#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// INI profile files with the semantics of the Windows profile functions, over raw bytes:
//
// - a section starts at a line "[name]"; a key line is "key=value"; blanks around names and
//   values do not count; lines before the first section, comments and anything else are kept
//   but never match, nor does a line longer than 64 KB;
// - section and key names match without regard to (ASCII) case; when a section or a key within
//   it appears more than once, the first one is the one read and written;
// - a written key replaces the value of its line in place; a key a section lacks goes after the
//   section's last non-blank line, a section the file lacks goes at the end of the file;
// - every other byte of the file (other sections, comments, blank lines, line endings, text in
//   any encoding, binary junk) is written back unchanged and in its order.
namespace ini_file {

// Only this much of a file is looked at when reading values: a settings file is a few hundred
// bytes, and an enormous one must not stall the start-up.
inline constexpr qint64 kReadLimit = 1 << 20;

// The values of one file, as read.
class Profile {
public:
    // A missing, unreadable or non-regular file reads as an empty profile.
    static Profile read(const QString& path);
    static Profile parse(QByteArrayView bytes);

    // The value of the first matching key of the first matching section, blanks trimmed.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;
    // The key read as an integer (see parseInteger); `fallback` when it is missing or not one.
    int readInteger(QByteArrayView section, QByteArrayView key, int fallback) const;
    // An integer that is not zero reads as true.
    bool readBool(QByteArrayView section, QByteArrayView key, bool fallback) const;

private:
    QHash<QByteArray, QByteArray> values_;  // "section\nkey", both lower-cased
};

// A decimal integer with an optional minus sign; hexadecimal after "$", or after "0x" / "0X"
// when the text is longer than those two characters. Empty text, anything else and numbers
// outside the range of int give `fallback`.
int parseInteger(QByteArrayView text, int fallback);

struct Entry {
    QByteArray section;
    QByteArray key;
    QByteArray value;
};

// The text a boolean is written as: "1" or "0".
inline QByteArray boolText(bool on) {
    return on ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
}

// Writes the entries as if each were written on its own, in order, and returns an empty string,
// or the message for the error box. The new file is complete before it replaces the old one,
// so the file is either wholly old or wholly new; an existing file that cannot be read is left
// alone rather than replaced without its other contents. A symbolic link is followed: its target
// is replaced (or created), keeping its mode and, where it may, its owner. Where the folder takes
// no new file but the file itself is writable, the file is written over in place instead.
QString write(const QString& path, const QList<Entry>& entries);

// What `write` makes of the bytes of an existing file (empty for a new one).
QByteArray rewrite(const QByteArray& old, const QList<Entry>& entries);

}  // namespace ini_file
