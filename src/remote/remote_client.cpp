#include "remote/remote_client.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDateTime>
#include <cstdio>
#include <utility>

#include "remote/board_service.h"
#include "remote/remote_command.h"

namespace remote {

namespace {

// A board answers a command within a frame or two; one that keeps a caller waiting this long is
// stuck in something else and the caller is told so.
constexpr int kCallTimeoutMs = 5000;
constexpr int kAskTimeoutMs = 1000;

int fail(int status, const QString& message) {
    // One line, whatever file name or command the message quotes.
    std::fputs(("velmo: " + oneLine(message) + QLatin1Char('\n')).toLocal8Bit().constData(),
               stderr);
    return status;
}

struct Board {
    qint64 pid;
    qlonglong startedAt;
};

std::vector<Board> boardsOn(QDBusConnection& bus) {
    std::vector<Board> boards;
    const QStringList names = bus.interface()->registeredServiceNames().value();
    for (const QString& name : names) {
        const qint64 pid = pidOfService(name);
        if (pid == 0) continue;
        QDBusMessage ask =
            QDBusMessage::createMethodCall(name, QLatin1String(kObjectPath),
                                           QLatin1String(kInterface), QStringLiteral("StartedAt"));
        const QDBusMessage reply = bus.call(ask, QDBus::Block, kAskTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) continue;
        boards.push_back({pid, reply.arguments().first().toLongLong()});
    }
    return boards;
}

// A relative path names a file in the caller's folder, not in the board's.
QByteArray absolutePath(const QByteArray& path) {
    if (path.isEmpty() || path.startsWith('/')) return path;
    std::vector<char> folder(4096);
    while (!::getcwd(folder.data(), folder.size())) {
        if (errno != ERANGE) return path;
        folder.resize(folder.size() * 2);
    }
    QByteArray absolute(folder.data());
    if (!absolute.endsWith('/')) absolute += '/';
    return absolute + path;
}

}  // namespace

int runClient(const std::vector<QByteArray>& words) {
    const ParseResult parsed = parse(words);
    if (!parsed.request) return fail(kExitRefused, parsed.error);
    Request request = *parsed.request;
    const CommandInfo& command = *request.command;
    if (command.name == QByteArrayView("help")) {
        std::fputs(helpText().toLocal8Bit().constData(), stdout);
        return kExitDone;
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return fail(kExitNoBoard, QStringLiteral("セッションバスに接続できません"));
    const std::vector<Board> boards = boardsOn(bus);
    if (command.name == QByteArrayView("list")) {
        for (const Board& b : boards) {
            const QString started =
                QDateTime::fromMSecsSinceEpoch(b.startedAt).toString(Qt::ISODate);
            std::printf("%lld %s\n", static_cast<long long>(b.pid), started.toLatin1().constData());
        }
        return kExitDone;
    }

    const Board* target = nullptr;
    for (const Board& b : boards) {
        if (request.pid ? b.pid == request.pid
                        : !target || std::pair(b.startedAt, b.pid) >
                                         std::pair(target->startedAt, target->pid))
            target = &b;
    }
    if (!target) {
        return fail(kExitNoBoard,
                    request.pid
                        ? QStringLiteral("プロセス番号 %1 のボードがありません").arg(request.pid)
                        : QStringLiteral("動いているボードがありません"));
    }

    if (command.argument == Argument::Path || command.argument == Argument::OptionalPath)
        request.argument = absolutePath(request.argument);
    QDBusMessage call =
        QDBusMessage::createMethodCall(serviceName(target->pid), QLatin1String(kObjectPath),
                                       QLatin1String(kInterface), QStringLiteral("Run"));
    call << QString::fromLatin1(command.name) << request.argument << request.yes;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return fail(kExitNoBoard,
                    QStringLiteral("ボードが応答しません: %1").arg(reply.errorMessage()));
    const QString error = reply.arguments().value(0).toString();
    if (!error.isEmpty()) return fail(kExitFailed, error);
    return kExitDone;
}

}  // namespace remote
