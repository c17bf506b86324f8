#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "remote/remote_command.h"

namespace remote {

// The bus names, object path and interface of a board on the user's session bus. Each board
// owns a name of its own, ending in its process number.
inline constexpr char kServicePrefix[] = "org.velmora.Board.pid";
inline constexpr char kObjectPath[] = "/org/velmora/Board";
inline constexpr char kInterface[] = "org.velmora.Board";

QString serviceName(qint64 pid);
// The process number in a board's bus name, or 0 when the name is not a board's.
qint64 pidOfService(const QString& name);

// What carries a checked command out on the board. Returns the message for the caller's standard
// error, or an empty string when the command was carried out (or, for a command that opens a
// window, queued).
class Target {
public:
    virtual ~Target() = default;
    virtual QString run(const CommandInfo& command, const QByteArray& argument, bool yes) = 0;
};

// The board's object on the session bus. A board that cannot reach a session bus runs without
// it and says nothing.
class BoardService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.velmora.Board")
public:
    explicit BoardService(Target& target, QObject* parent = nullptr);
    ~BoardService() override;

    // Registers the object and the board's name; false when there is no session bus.
    bool publish();

public slots:
    // Runs one command; the reply is the error message, empty on success.
    QString Run(const QString& command, const QByteArray& argument, bool yes);
    // When the board started, in milliseconds since the epoch: the newest board is the default.
    qlonglong StartedAt() const;

private:
    Target& target_;
    qlonglong startedAt_;
    bool published_ = false;
};

}  // namespace remote
