// "config.ini": any bytes as the settings file the board reads at start and rewrites at close.
// The settings are read as the start-up reads them and written back as the close writes them;
// the written file must read back as the same settings, must not change when written again, and
// must keep every byte of the old file but the values the board writes. The checks run on the
// bytes in memory, and for one input in 64 through a real file as well.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "picture/settings.h"
#include "platform/ini_file.h"

namespace {

QString path;

// A broken promise stops the run and names itself in the log.
#define check(ok)                                                                          \
    do {                                                                                   \
        if (!(ok)) {                                                                       \
            std::fprintf(stderr, "config.ini check failed, line %d: %s\n", __LINE__, #ok); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

QByteArray fileBytes() {
    QFile file(path);
    check(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void putFile(const QByteArray& bytes) {
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(file.write(bytes) == bytes.size());
}

// Settings unlike `s` in every field, so that every value of the file changes.
BoardSettings other(BoardSettings s) {
    for (const settings::Key& k : settings::kKeys) {
        const int v = settings::get(s, k);
        if (std::holds_alternative<bool BoardSettings::*>(k.field))
            settings::set(s, k, v == 0 ? 1 : 0);
        else
            settings::set(s, k, v == -12345 ? 678 : -12345);
    }
    return s;
}

// The writer checked against the reader: each key is written as a marker the input cannot hold.
// Undoing the writer from what the reader saw (a marker in place of an existing value becomes
// that value again, a marker's added line goes) must give back the input, followed at most by a
// line ending and the headers of added sections.
void checkBytesKept(const QByteArray& input) {
    const QByteArray tag = "\x01velmo";
    if (input.contains(tag)) return;
    const ini_file::Profile before = ini_file::Profile::parse(input);
    QList<ini_file::Entry> entries;
    for (const settings::Key& k : settings::kKeys)
        entries << ini_file::Entry{k.section, k.key, tag + k.key + '\x01'};
    QByteArray out = ini_file::rewrite(input, entries);
    for (const ini_file::Entry& e : entries) {
        const qsizetype at = out.indexOf(e.value);
        check(at >= 0 && out.indexOf(e.value, at + 1) < 0);
        if (const std::optional<QByteArray> old = before.value(e.section, e.key)) {
            out.replace(at, e.value.size(), *old);
            continue;
        }
        // An added line: "key=value" and the file's line ending, on a line of its own.
        const QByteArray line = e.key + '=' + e.value;
        check(at >= line.size() - e.value.size());
        const qsizetype from = at - e.key.size() - 1;
        check(out.sliced(from).startsWith(line) && (from == 0 || out[from - 1] == '\n'));
        qsizetype to = from + line.size();
        if (out.sliced(to).startsWith("\r\n")) {
            to += 2;
        } else {
            check(out.sliced(to).startsWith('\n'));
            to += 1;
        }
        out.remove(from, to - from);
    }
    check(out.startsWith(input));
    QByteArray rest = out.sliced(input.size());
    if (!input.isEmpty() && !input.endsWith('\n')) {
        check(rest.startsWith('\n') || rest.startsWith("\r\n") || rest.isEmpty());
        rest.remove(0, rest.startsWith("\r\n") ? 2 : rest.startsWith('\n') ? 1 : 0);
    }
    while (!rest.isEmpty()) {
        check(rest.startsWith('['));
        const qsizetype end = rest.indexOf('\n');
        check(end > 0);
        QByteArrayView name = QByteArrayView(rest).sliced(1, end - 1);
        if (name.endsWith('\r')) name.chop(1);
        check(name.endsWith(']'));
        name.chop(1);
        bool ours = false;
        for (const settings::Key& k : settings::kKeys)
            ours = ours || name == k.section;
        check(ours);
        rest.remove(0, end + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char** argv[]) {
    static QCoreApplication app(*argc, *argv);
    const QString dir =
        fuzz::scratchFolder() +
        QStringLiteral("/velmo-fuzz-ini-%1").arg(QCoreApplication::applicationPid());
    check(QDir().mkpath(dir));
    path = settings::fileIn(dir);
    std::atexit([] { QDir(QFileInfo(path).path()).removeRecursively(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    auto load = [](const QByteArray& bytes) {
        return settings::fromProfile(ini_file::Profile::parse(bytes));
    };

    // The start-up's load, then the close's save of the values just loaded, on the bytes.
    const BoardSettings loaded = load(input);
    const QByteArray saved = ini_file::rewrite(input, settings::entries(loaded));
    check(load(saved) == loaded);

    // Other values change only the values: writing the first ones again gives the same bytes.
    const BoardSettings changed = other(loaded);
    const QByteArray rewritten = ini_file::rewrite(saved, settings::entries(changed));
    check(load(rewritten) == changed);
    check(ini_file::rewrite(rewritten, settings::entries(loaded)) == saved);

    checkBytesKept(input);

    // One input in 64, chosen by its bytes, also goes the whole way through a real file, which
    // must come out as the bytes above: the file functions add nothing and lose nothing.
    if (qHashBits(data, size) % 64 == 0) {
        putFile(input);
        check(settings::read(path) == loaded);
        check(settings::write(path, loaded).isEmpty());
        check(fileBytes() == saved);
        check(settings::write(path, changed).isEmpty());
        check(fileBytes() == rewritten);
    }
    return 0;
}
