#include "platform/file_names.h"

#include <sys/stat.h>
#include <unistd.h>

namespace file_names {

namespace {

constexpr char16_t kEscape = 0xdc00;  // the lone surrogate of byte b is kEscape + b

// The length of the valid UTF-8 sequence at `at`, or 0 when the byte there starts none.
qsizetype sequenceAt(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return quint8(bytes[i]); };
    const quint8 lead = byte(at);
    if (lead < 0x80) return 1;
    qsizetype length = 0;
    char32_t code = 0, least = 0;
    if ((lead & 0xe0) == 0xc0) {
        length = 2, code = lead & 0x1f, least = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
        length = 3, code = lead & 0x0f, least = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3f);
    }
    // Overlong forms, surrogates and values beyond Unicode are not valid UTF-8.
    if (code < least || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
    return length;
}

bool escapedByte(const QString& name, qsizetype i) {
    const char16_t c = name[i].unicode();
    return c >= kEscape + 0x80 && c <= kEscape + 0xff && (i == 0 || !name[i - 1].isHighSurrogate());
}

}  // namespace

QString decode(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    qsizetype valid = 0;  // where the current stretch of valid UTF-8 starts
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = sequenceAt(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + valid, at - valid);
        name += QChar(char16_t(kEscape + quint8(bytes[at])));
        valid = ++at;
    }
    name += QString::fromUtf8(bytes.constData() + valid, at - valid);
    return name;
}

QByteArray encode(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype run = 0;  // where the current stretch of ordinary text starts
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!escapedByte(name, i)) continue;
        bytes += QStringView(name).mid(run, i - run).toUtf8();
        bytes += char(name[i].unicode() - kEscape);
        run = i + 1;
    }
    bytes += QStringView(name).mid(run).toUtf8();
    return bytes;
}

QStringList arguments(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << decode(QByteArray(argv[i]));
    return args;
}

bool isFile(const QString& name) {
    struct stat info = {};
    return ::stat(encode(name).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool remove(const QString& name) {
    return ::unlink(encode(name).constData()) == 0;
}

}  // namespace file_names
