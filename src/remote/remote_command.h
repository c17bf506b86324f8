#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

#include "platform/colour.h"

// The commands a running board takes from outside (`velmo --remote COMMAND [ARGUMENT]`), and the
// checks on their arguments. Nothing here talks to a bus or a window: the client checks a command
// before it sends it, and the board checks it again when it arrives.
namespace remote {

enum class Argument {
    None,
    Path,          // a file, given as the system's bytes
    OptionalPath,  // a file, or nothing for the board's own file dialog
    Colour,        // #RRGGBB
    Width,         // a pen width in pixels
};

// Where a command runs and what it may open on the board.
enum class Kind {
    Control,  // the handler of a toolbar button or menu item, by its control name
    Board,    // handled by the remote service of the board itself
    Client,   // answered by `velmo --remote` without a board
};

struct CommandInfo {
    const char* name;  // stable: scripts and key bindings use it
    Kind kind;
    const char* control;  // Control: the toolbar button or menu item whose handler runs
    Argument argument;
    bool opensWindow;  // runs after the reply: it opens a dialog, a box or a window
    bool confirms;     // may ask first; `--yes` skips the question
    const char* help;  // one line for `velmo --remote help`
};

inline constexpr int kMinWidth = 1;
inline constexpr int kMaxWidth = 99;

const std::vector<CommandInfo>& commands();
const CommandInfo* find(QByteArrayView name);

// One request as the command line gives it.
struct Request {
    const CommandInfo* command = nullptr;
    QByteArray argument;
    bool yes = false;
    qint64 pid = 0;  // 0: the most recently started board
};

struct ParseResult {
    std::optional<Request> request;
    QString error;  // the one-line message when the request is refused
};

// The words after "--remote": [--pid N] [--yes] COMMAND [ARGUMENT], options anywhere.
ParseResult parse(const std::vector<QByteArray>& words);

// An empty string when the argument suits the command, else the message.
QString checkArgument(const CommandInfo& command, const QByteArray& argument);

std::optional<TColor> parseColour(QByteArrayView text);
std::optional<int> parseWidth(QByteArrayView text);

// Text for a one-line message: control characters (a newline in a file name) shown as \xNN.
QString oneLine(const QString& text);

// What `velmo --remote help` prints.
QString helpText();

}  // namespace remote
