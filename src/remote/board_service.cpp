#include "remote/board_service.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDateTime>

namespace remote {

QString serviceName(qint64 pid) {
    return QLatin1String(kServicePrefix) + QString::number(pid);
}

qint64 pidOfService(const QString& name) {
    const QLatin1String prefix(kServicePrefix);
    if (!name.startsWith(prefix)) return 0;
    bool ok = false;
    const qint64 pid = name.mid(prefix.size()).toLongLong(&ok);
    return ok && pid > 0 ? pid : 0;
}

BoardService::BoardService(Target& target, QObject* parent)
    : QObject(parent), target_(target), startedAt_(QDateTime::currentMSecsSinceEpoch()) {}

BoardService::~BoardService() {
    if (!published_) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(serviceName(QCoreApplication::applicationPid()));
    bus.unregisterObject(QLatin1String(kObjectPath));
}

bool BoardService::publish() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    if (!bus.registerObject(QLatin1String(kObjectPath), this, QDBusConnection::ExportAllSlots))
        return false;
    if (!bus.registerService(serviceName(QCoreApplication::applicationPid()))) {
        bus.unregisterObject(QLatin1String(kObjectPath));
        return false;
    }
    published_ = true;
    return true;
}

QString BoardService::Run(const QString& command, const QByteArray& argument, bool yes) {
    // Whoever sends it, the command is checked here as the client checked it.
    const CommandInfo* info = find(command.toLatin1());
    if (!info || info->kind == Kind::Client)
        return QStringLiteral("知らないコマンドです: %1").arg(command);
    if (const QString error = checkArgument(*info, argument); !error.isEmpty()) return error;
    return target_.run(*info, argument, yes);
}

qlonglong BoardService::StartedAt() const {
    return startedAt_;
}

}  // namespace remote
