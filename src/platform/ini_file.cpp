#include "platform/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include "platform/bitmap_file.h"
#include "platform/save_file.h"

namespace ini_file {

namespace {

// Lines are read in pieces of at most this many bytes; a longer line cannot be a key line that
// matters here: it is neither read nor written, only copied through piece by piece.
constexpr qint64 kLinePiece = 64 * 1024;

// A UTF-8 byte order mark, which some editors put at the start of a file they save.
constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// [from, to) of `text` without blanks at either end.
void trim(QByteArrayView text, qsizetype& from, qsizetype& to) {
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
}

QByteArray lookupKey(QByteArrayView section, QByteArrayView key) {
    return section.toByteArray().toLower() + '\n' + key.toByteArray().toLower();
}

// One line, without its line ending, as the profile functions see it.
struct Line {
    enum Kind { Blank, Section, Key, Other } kind = Other;
    QByteArray name;          // section or key, lower-cased
    qsizetype valueFrom = 0;  // the value's bytes in the line, blanks trimmed
    qsizetype valueTo = 0;
};

Line parseLine(QByteArrayView text) {
    Line line;
    qsizetype from = 0, to = text.size();
    trim(text, from, to);
    if (from == to) {
        line.kind = Line::Blank;
        return line;
    }
    if (text[from] == '[') {
        qsizetype end = text.indexOf(']', from + 1);
        if (end < 0) end = to;
        qsizetype nameFrom = from + 1;
        trim(text, nameFrom, end);
        line.kind = Line::Section;
        line.name = text.sliced(nameFrom, end - nameFrom).toByteArray().toLower();
        return line;
    }
    if (text[from] == ';') return line;
    const qsizetype eq = text.indexOf('=', from);
    if (eq < 0) return line;
    qsizetype keyTo = eq;
    trim(text, from, keyTo);
    if (from == keyTo) return line;
    line.kind = Line::Key;
    line.name = text.sliced(from, keyTo - from).toByteArray().toLower();
    line.valueFrom = eq + 1;
    line.valueTo = text.size();
    trim(text, line.valueFrom, line.valueTo);
    return line;
}

// The line without its ending ("\n" or "\r\n").
QByteArrayView withoutEnding(QByteArrayView line) {
    if (line.endsWith('\n')) line.chop(1);
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

// The lines of a file as the reader and the writer both see them, so that the two agree on
// which lines can hold a section or a key: a line, its ending included, or a piece of a line too
// long to matter.
class LineSource {
public:
    explicit LineSource(QIODevice& in) : in_(in), buffer_(bufferSize(in), Qt::Uninitialized) {}

    // The next line or piece; `tooLong` is set for every piece of a long line.
    bool next(QByteArray& piece, bool& tooLong) {
        // Into one buffer for all lines: reading each line into a new buffer of the largest
        // size would allocate (and give back) that much for every short line.
        const qint64 n = in_.readLine(buffer_.data(), buffer_.size());
        if (n <= 0) return false;
        piece = QByteArray(buffer_.constData(), qsizetype(n));
        const bool goesOn = !piece.endsWith('\n') && !in_.atEnd();
        tooLong = inLongLine_ || goesOn;
        inLongLine_ = goesOn;
        return true;
    }

private:
    // A piece and its terminating zero; no line is longer than what is left of a file, so a
    // short file needs no piece-sized buffer (and readLine() wants room for at least a byte).
    static qsizetype bufferSize(const QIODevice& in) {
        const qint64 left = in.isSequential() ? kLinePiece : in.size() - in.pos();
        return qsizetype(std::clamp<qint64>(left, 1, kLinePiece)) + 1;
    }

    QIODevice& in_;
    QByteArray buffer_;
    bool inLongLine_ = false;
};

// Copies a profile from `in` to `out`, writing the entries on the way. Memory stays bounded
// whatever the input: lines go through one at a time, and only the blank lines after a
// section's last entry are held back (up to a limit), so that a new key can go before them.
class Rewriter {
public:
    Rewriter(QIODevice& out, const QList<Entry>& entries) : out_(out) {
        for (const Entry& e : entries) {
            const QByteArray section = e.section.toLower();
            if (!pending_.contains(section)) order_ << section;
            QList<Entry>& keys = pending_[section];
            bool replaced = false;
            for (Entry& k : keys)
                if (k.key.toLower() == e.key.toLower()) {
                    k.value = e.value;
                    replaced = true;
                }
            if (!replaced) keys << e;
        }
    }

    void run(QIODevice& in) {
        LineSource lines(in);
        QByteArray piece;
        bool tooLong = false;
        bool first = true;
        while (lines.next(piece, tooLong)) {
            // A byte order mark is kept where it is, and the line after it read as any other.
            if (std::exchange(first, false) && piece.startsWith(kByteOrderMark)) {
                put(kByteOrderMark.toByteArray());
                endsWithNewline_ = true;  // the mark is no line of its own
                piece.remove(0, kByteOrderMark.size());
                if (piece.isEmpty()) continue;
            }
            if (tooLong) {
                putLine(piece);
                continue;
            }
            if (eol_.isEmpty() && piece.endsWith('\n'))
                eol_ = piece.endsWith("\r\n") ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
            handle(piece);
        }
        endSection();
        for (const QByteArray& section : order_) {
            if (done_.contains(section)) continue;
            const QList<Entry>& keys = pending_[section];
            newLine(QByteArray('[' + keys.first().section + ']'));
            for (const Entry& e : keys)
                newLine(e.key + '=' + e.value);
        }
    }

private:
    void handle(const QByteArray& piece) {
        const QByteArrayView text = withoutEnding(piece);
        const Line line = parseLine(text);
        switch (line.kind) {
            case Line::Blank:
                if (current_ && held_.size() < kLinePiece) {
                    held_ += piece;
                    return;
                }
                break;
            case Line::Section:
                endSection();
                if (!seen_.contains(line.name)) {
                    seen_.insert(line.name);
                    if (pending_.contains(line.name)) current_ = &pending_[line.name];
                    currentName_ = line.name;
                }
                break;
            case Line::Key:
                if (current_) {
                    for (qsizetype i = 0; i < current_->size(); ++i) {
                        if ((*current_)[i].key.toLower() != line.name) continue;
                        const QByteArray replaced = text.first(line.valueFrom).toByteArray() +
                                                    (*current_)[i].value +
                                                    piece.sliced(line.valueTo);
                        current_->removeAt(i);
                        putLine(replaced);
                        return;
                    }
                }
                break;
            case Line::Other:
                break;
        }
        putLine(piece);
    }

    // Any line but a held blank one: the blank lines held before it go out first.
    void putLine(const QByteArray& bytes) {
        put(held_);
        held_.clear();
        put(bytes);
    }

    // The section ends: its keys not found go after its last non-blank line.
    void endSection() {
        if (current_) {
            for (const Entry& e : *current_)
                newLine(e.key + '=' + e.value);
            done_.insert(currentName_);
        }
        current_ = nullptr;
        put(held_);
        held_.clear();
    }

    void newLine(const QByteArray& text) {
        // A last line without "\n" is ended first. One that stops at a "\r" (a file cut inside
        // its last "\r\n") is only completed: the reader counts that "\r" as part of the line
        // ending, and a whole new ending after it would move it into the line's value.
        if (!endsWithNewline_) put(endsWithReturn_ ? QByteArrayLiteral("\n") : ending());
        put(text + ending());
    }

    QByteArray ending() const { return eol_.isEmpty() ? QByteArrayLiteral("\n") : eol_; }

    void put(const QByteArray& bytes) {
        if (bytes.isEmpty()) return;
        if (out_.write(bytes) != bytes.size()) failed_ = true;
        endsWithNewline_ = bytes.endsWith('\n');
        endsWithReturn_ = bytes.endsWith('\r');
    }

public:
    bool failed_ = false;

private:
    QIODevice& out_;
    QHash<QByteArray, QList<Entry>> pending_;  // by lower-cased section: keys not yet written
    QList<QByteArray> order_;                  // sections in the order of their first entry
    QSet<QByteArray> seen_;                    // sections met in the file
    QSet<QByteArray> done_;                    // sections whose keys have all been written
    QList<Entry>* current_ = nullptr;          // the keys of the section being copied, if any
    QByteArray currentName_;
    QByteArray held_;  // blank lines after the current section's last non-blank line
    QByteArray eol_;   // the file's own line ending, from its first line
    bool endsWithNewline_ = true;
    bool endsWithReturn_ = false;
};

}  // namespace

int parseInteger(QByteArrayView text, int fallback) {
    qsizetype at = 0;
    const bool negative = !text.isEmpty() && text[0] == '-';
    if (negative) ++at;
    int base = 10;
    if (text.sliced(at).startsWith('$')) {
        base = 16;
        at += 1;
    } else if (text.size() - at > 2 &&
               (text.sliced(at).startsWith("0x") || text.sliced(at).startsWith("0X"))) {
        base = 16;
        at += 2;
    }
    if (at >= text.size()) return fallback;
    qint64 value = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return fallback;
        value = value * base + digit;
        if (value > qint64(std::numeric_limits<int>::max()) + 1) return fallback;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return fallback;
    return static_cast<int>(value);
}

Profile Profile::parse(QByteArrayView bytes) {
    if (bytes.startsWith(kByteOrderMark)) bytes = bytes.sliced(kByteOrderMark.size());
    Profile profile;
    QSet<QByteArray> seen;
    QByteArray section;
    bool first = false;  // within the first section of its name
    QByteArray copy = bytes.toByteArray();
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    LineSource lines(in);
    QByteArray piece;
    bool tooLong = false;
    while (lines.next(piece, tooLong)) {
        if (tooLong) continue;
        const QByteArrayView text = withoutEnding(piece);
        const Line line = parseLine(text);
        if (line.kind == Line::Section) {
            first = !seen.contains(line.name);
            seen.insert(line.name);
            section = line.name;
        } else if (line.kind == Line::Key && first) {
            const QByteArray k = section + '\n' + line.name;
            if (!profile.values_.contains(k))
                profile.values_.insert(
                    k, text.sliced(line.valueFrom, line.valueTo - line.valueFrom).toByteArray());
        }
    }
    return profile;
}

Profile Profile::read(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return {};
    // Not more than the file holds: a buffer of the whole limit would be allocated otherwise.
    QByteArray bytes = file.read(std::min(file.size(), kReadLimit));
    // A line cut by the limit could read as a different value: it is left out.
    if (!file.atEnd()) bytes.truncate(bytes.lastIndexOf('\n') + 1);
    return parse(bytes);
}

std::optional<QByteArray> Profile::value(QByteArrayView section, QByteArrayView key) const {
    const auto it = values_.constFind(lookupKey(section, key));
    if (it == values_.constEnd()) return std::nullopt;
    return *it;
}

int Profile::readInteger(QByteArrayView section, QByteArrayView key, int fallback) const {
    const std::optional<QByteArray> text = value(section, key);
    return text ? parseInteger(*text, fallback) : fallback;
}

bool Profile::readBool(QByteArrayView section, QByteArrayView key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

QByteArray rewrite(const QByteArray& old, const QList<Entry>& entries) {
    QByteArray in = old;
    QBuffer input(&in);
    input.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer output(&result);
    output.open(QIODevice::WriteOnly);
    Rewriter(output, entries).run(input);
    return result;
}

namespace {

// The file a name stands for once its symbolic links are followed; it need not exist. Empty for
// a loop of links.
QString linkTarget(const QString& path) {
    QString name = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(name);
        if (!info.isSymLink()) return name;
        name = info.symLinkTarget();
    }
    return {};
}

// Writes the whole new text over the old file itself, for a folder that takes no new file beside
// it. Not atomic as a replacement is: the blocks are taken first, so that a full disk fails
// before a byte is overwritten, and the text is on the disk before this returns.
bool rewriteInPlace(QFile& old, const QList<Entry>& entries) {
    QByteArray text;
    QBuffer output(&text);
    output.open(QIODevice::WriteOnly);
    Rewriter rewriter(output, entries);
    rewriter.run(old);
    if (rewriter.failed_ || old.error() != QFileDevice::NoError) return false;
    const int fd = ::open(QFile::encodeName(old.fileName()).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool written = text.isEmpty() || ::posix_fallocate(fd, 0, text.size()) == 0;
    for (qsizetype done = 0; written && done < text.size();) {
        const ssize_t n = ::pwrite(fd, text.constData() + done, size_t(text.size() - done), done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        done += n;
    }
    written = written && ::ftruncate(fd, text.size()) == 0 && (::fsync(fd) == 0 || errno == EINVAL);
    return ::close(fd) == 0 && written;
}

}  // namespace

QString write(const QString& path, const QList<Entry>& entries) {
    const QString failed = bitmap_file::cannotCreateMessage(path);
    // Through a symbolic link the file written is the link's target, created if it is missing;
    // the link stays a link.
    const QString target = linkTarget(path);
    if (target.isEmpty()) return failed;
    const QFileInfo info(target);
    QFile old(target);
    QBuffer empty;
    QIODevice* input = &empty;
    struct stat existing = {};
    if (info.exists()) {
        if (!info.isFile() || !old.open(QIODevice::ReadOnly) || ::fstat(old.handle(), &existing))
            return failed;
        input = &old;
    } else {
        empty.open(QIODevice::ReadOnly);
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return input == &old && rewriteInPlace(old, entries) ? QString() : failed;
    if (input == &old) {
        // The new file replaces the old one as it was: its mode, and its owner where that is
        // ours to give (as when the board runs as root on a user's file).
        if (::fchmod(file.handle(), existing.st_mode & 07777) != 0) {
            file.cancelWriting();
            return failed;
        }
        [[maybe_unused]] const int owned =
            ::fchown(file.handle(), existing.st_uid, existing.st_gid);
    }
    Rewriter rewriter(file, entries);
    rewriter.run(*input);
    if (rewriter.failed_ || old.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return failed;
    }
    if (!commitWhole(file)) return failed;
    return {};
}

}  // namespace ini_file
